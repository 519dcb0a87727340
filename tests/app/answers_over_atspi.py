"""The answer fields as a screen reader finds them: the real client against the real
server, read from outside through AT-SPI.

    answers_over_atspi.py CLIENT SERVER

Run under an X server and a D-Bus session (xvfb-run -a dbus-run-session -- ...). The
client logs in with the demo account, asks for the tasks, the first task of the list is opened with a click,
a formula is typed into the first answer field, and every answer field must then be
listed with the name of its row and the text it holds, the typed one as it is read.
Then, on a bank of one task with a drawn answer, the picture is a list: a force added
with the keyboard is read as its item, and the change is told as the list's description.
"""

import os
import subprocess
import sys
import tempfile
import time

import pyatspi

WAIT_S = 30


def wait_for(what, find):
    deadline = time.monotonic() + WAIT_S
    while time.monotonic() < deadline:
        try:
            found = find()
        except Exception:  # the tree changes under the walk while windows come up
            found = None
        if found:
            return found
        time.sleep(0.2)
    sys.exit("not found in time: " + what)


def start_server(server, folder, bank=None):
    options = ["--bank", bank] if bank else []
    process = subprocess.Popen(
        [server, "--demo", "--port", "0", "--db", os.path.join(folder, "store.sqlite")] + options,
        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    first = process.stdout.readline()  # "... listening on ADDRESS port N"
    port = first.split()[-1] if first.strip() else ""
    if not port.isdigit():
        process.kill()
        sys.exit("the server did not name its port: " + first)
    return process, int(port)


def start_client(client, folder, port):
    env = dict(os.environ)
    env.update({"QT_QPA_PLATFORM": "xcb", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
                "HOME": folder, "XDG_CONFIG_HOME": folder, "XDG_DATA_HOME": folder,
                "XDG_CACHE_HOME": folder})
    return subprocess.Popen([client, "--server", "127.0.0.1:%d" % port], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def client_application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def descendants(root, test):
    return pyatspi.findAllDescendants(root, lambda node: node is not None and test(node))


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def press(app, role, name):
    button = wait_for(name, lambda: next(
        (b for b in descendants(app, lambda n: n.getRole() == role and n.name == name)
         if showing(b)), None))
    action = button.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("Press", "press", "click"):
            action.doAction(i)
            return
    action.doAction(0)


def click(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    pyatspi.Registry.generateMouseEvent(box.x + box.width // 2, box.y + box.height // 2,
                                        pyatspi.MOUSE_B1C)


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def answer_fields(app):
    return [n for n in descendants(app, lambda n: n.getRole() == pyatspi.ROLE_TEXT and
                                   n.getState().contains(pyatspi.STATE_EDITABLE))
            if showing(n) and n.name]


# A beam on a pin at A, to be drawn.
DRAWN_TASK = ("<CAPTION>Балка</CAPTION>\n<QUEST>Нарисуйте силы.</QUEST>\n"
              "<IMAGE>HEIGHT(120);WIDTH(300);ADVLINE(40,70,260,70,0,3);SHARNIR(40,70);"
              "TEXT(36,82,\"A\");</IMAGE>\n<REQUEST>R!B;</REQUEST>\n<ANSWER>5;</ANSWER>\n"
              "<DRAW>PIN(40,70,A);</DRAW>\n")


def write_bank(folder):
    bank = os.path.join(folder, "bank")
    os.makedirs(os.path.join(bank, "statica"))
    with open(os.path.join(bank, "statica", "Балка.task"), "w", encoding="utf-8") as task:
        task.write(DRAWN_TASK)
    with open(os.path.join(bank, "users.txt"), "w", encoding="utf-8") as users:
        users.write("Guest;wuzo\n")
    return bank


def open_first_task(app, sheet=None):
    press(app, pyatspi.ROLE_PUSH_BUTTON, "Войти на сервер")
    press(app, pyatspi.ROLE_PUSH_BUTTON, "Соединиться")  # the demo account
    press(app, pyatspi.ROLE_PUSH_BUTTON, "OK")  # the server's greeting
    press(app, pyatspi.ROLE_PUSH_BUTTON, "Задания")
    if sheet:
        click(wait_for("the sheet " + sheet, lambda: next(
            (n for n in descendants(app, lambda n: n.getRole() == pyatspi.ROLE_PAGE_TAB)
             if showing(n) and n.name == sheet), None)))
    link = wait_for("a task of the list", lambda: next(
        (n for n in descendants(app, lambda n: n.getRole() == pyatspi.ROLE_LABEL)
         if showing(n) and n.name.startswith("1. ")), None))
    click(link)
    fields = wait_for("the answer fields", lambda: answer_fields(app))
    wait_for("the first field taking the keyboard", lambda: fields[0].getState().contains(
        pyatspi.STATE_FOCUSED))
    return fields


def read_answer_fields(app):
    fields = open_first_task(app)
    # Spoken as the answer reader reads it, not as typed.
    pyatspi.Registry.generateKeyboardEvent(0, "2*3", pyatspi.KEY_STRING)
    wait_for("the typed answer read back", lambda: text_of(fields[0]) == "2·3")
    for field in answer_fields(app):
        print("%s: %r" % (field.name, text_of(field)))
    names = [field.name for field in fields]
    if len(set(names)) != len(names) or any(not name for name in names):
        sys.exit("the rows are not named each their own: %r" % names)


def read_drawing(app):
    open_first_task(app, "Статика")
    picture = wait_for("the picture as a list", lambda: next(
        (n for n in descendants(app, lambda n: n.getRole() == pyatspi.ROLE_LIST)
         if showing(n) and n.name == "Рисунок: силы и моменты"), None))
    picture.queryComponent().grabFocus()
    wait_for("the picture taking the keyboard",
             lambda: picture.getState().contains(pyatspi.STATE_FOCUSED))
    pyatspi.Registry.generateKeyboardEvent(0, "f", pyatspi.KEY_STRING)
    wait_for("the force as an item of the list", lambda: picture.childCount == 1 and
             picture[0].name == "сила без имени в точке A, вверх")
    wait_for("the change told", lambda: picture.description ==
             "добавлена сила без имени в точке A, вверх")
    print("%s: %s (%s)" % (picture.name, picture[0].name, picture.description))


def run(client_path, server_path, folder, scenario, bank=None):
    server, port = start_server(server_path, folder, bank)
    client = start_client(client_path, folder, port)
    try:
        app = wait_for("the client on the accessibility bus",
                       lambda: client_application(client.pid))
        scenario(app)
    finally:
        client.terminate()
        server.terminate()
        client.wait(10)
        server.wait(10)


def main():
    client_path, server_path = sys.argv[1], sys.argv[2]
    # The registry is up before the client comes, so that the client finds it.
    wait_for("the accessibility registry", lambda: pyatspi.Registry.getDesktop(0).childCount >= 0)
    with tempfile.TemporaryDirectory() as folder:
        run(client_path, server_path, folder, read_answer_fields)
    with tempfile.TemporaryDirectory() as folder:
        run(client_path, server_path, folder, read_drawing, write_bank(folder))


if __name__ == "__main__":
    main()
