"""The answer fields as a screen reader finds them: the real client against the real
server, read from outside through AT-SPI.

    answers_over_atspi.py CLIENT SERVER

Run under an X server and a D-Bus session (xvfb-run -a dbus-run-session -- ...). The
client logs in with the demo account, asks for the tasks, the first task of the list is opened with a click,
a formula is typed into the first answer field, and every answer field must then be
listed with the name of its row and the text it holds, the typed one as it is read.
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


def start_server(server, folder):
    process = subprocess.Popen(
        [server, "--demo", "--port", "0", "--db", os.path.join(folder, "store.sqlite")],
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


def main():
    client_path, server_path = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as folder:
        # The registry is up before the client comes, so that the client finds it.
        wait_for("the accessibility registry", lambda: pyatspi.Registry.getDesktop(0).childCount >= 0)
        server, port = start_server(server_path, folder)
        client = start_client(client_path, folder, port)
        try:
            app = wait_for("the client on the accessibility bus",
                           lambda: client_application(client.pid))
            press(app, pyatspi.ROLE_PUSH_BUTTON, "Войти на сервер")
            press(app, pyatspi.ROLE_PUSH_BUTTON, "Соединиться")  # the demo account
            press(app, pyatspi.ROLE_PUSH_BUTTON, "OK")  # the server's greeting
            press(app, pyatspi.ROLE_PUSH_BUTTON, "Задания")
            link = wait_for("a task of the list", lambda: next(
                (n for n in descendants(app, lambda n: n.getRole() == pyatspi.ROLE_LABEL)
                 if showing(n) and n.name.startswith("1. ")), None))
            click(link)
            fields = wait_for("the answer fields", lambda: answer_fields(app))
            wait_for("the first field taking the keyboard", lambda: fields[0].getState().contains(
                pyatspi.STATE_FOCUSED))
            # Spoken as the answer reader reads it, not as typed.
            pyatspi.Registry.generateKeyboardEvent(0, "2*3", pyatspi.KEY_STRING)
            wait_for("the typed answer read back", lambda: text_of(fields[0]) == "2·3")
            for field in answer_fields(app):
                print("%s: %r" % (field.name, text_of(field)))
            names = [field.name for field in fields]
            if len(set(names)) != len(names) or any(not name for name in names):
                sys.exit("the rows are not named each their own: %r" % names)
        finally:
            client.terminate()
            server.terminate()
            client.wait(10)
            server.wait(10)


if __name__ == "__main__":
    main()
