#!/usr/bin/python3
"""The teacher's gradebook in a real browser.

Starts vekta-server with --web on a fresh database and the shipped bank, lets two students
answer a task over the testing protocol, then drives Chromium through chromium-driver: signs
in as a teacher, sorts and filters the gradebook, opens a student and a task, downloads the
CSV and reads it as a spreadsheet set up for Russian would; a student's account is refused;
the student whose name is a script is shown as text.

    gradebook_browser_test.py SERVER BANK [SCREENSHOT_FOLDER]

Exits 77 (skipped) only when Chromium, its driver or Selenium is not installed. With a
screenshot folder it also saves the pages there as PNG files.
"""

import csv
import io
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.parse

SKIPPED = 77
TEACHER = ("Учитель", "пароль")
STUDENT = ("Иванов", "один")
SCRIPTED = ("<script>alert(1)</script>", "два")
TASK = "Балка-1"
DRAWN_TASK = "Балка-4"


def browser_parts():
    chromium = shutil.which("chromium")
    driver = shutil.which("chromedriver")
    try:
        import selenium  # noqa: F401
    except ImportError:
        return None
    if not chromium or not driver:
        return None
    return chromium, driver


def run_server_command(server, db, bank, words, stdin_text=""):
    subprocess.run([server, "--db", db, "--bank", bank] + words, input=stdin_text.encode(),
                   check=True, capture_output=True)


class ProtocolClient:
    """The testing protocol: frames "<TAG:LENGTH>PAYLOAD" in CP1251."""

    def __init__(self, port):
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=20)
        self.buffer = b""

    def send(self, tag, text):
        payload = text.encode("cp1251")
        self.sock.sendall(b"<" + tag.encode() + b":" + str(len(payload)).encode() + b">" + payload)

    def next_frame(self):
        while True:
            end = self.buffer.find(b">")
            if end > 0:
                tag, length = self.buffer[1:end].split(b":")
                total = end + 1 + int(length)
                if len(self.buffer) >= total:
                    payload = self.buffer[end + 1:total]
                    self.buffer = self.buffer[total:]
                    if tag == b"FEATURES":  # dropped, as by a client that does not know it
                        continue
                    return tag.decode(), payload.decode("cp1251")
            chunk = self.sock.recv(65536)
            if not chunk:
                raise RuntimeError("the server closed the connection")
            self.buffer += chunk

    def answer(self, user, password, task, answers, drawing=None):
        if drawing is not None:  # a task with a drawn answer opens for a client that draws
            self.send("FEATURES", "drawing")
        self.send("LOGIN", user + ";" + password)
        tag, text = self.next_frame()
        assert "Здравствуйте" in text, (tag, text)
        self.send("GETQUEST", task)
        while self.next_frame()[0] != "QUEST":
            pass
        payload = "".join(" %s @=%s;" % pair for pair in answers)
        if drawing is not None:
            payload += " @DRAW=" + "".join(entry + ";" for entry in drawing)
        self.send("SETRESULTQUEST", payload)
        tag, text = self.next_frame()
        assert tag == "MESSAGE", (tag, text)
        return text


def start_server(server, db, bank):
    process = subprocess.Popen(
        [server, "--db", db, "--bank", bank, "--listen", "127.0.0.1", "--port", "0",
         "--web", "127.0.0.1:0"],
        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    testing = int(process.stdout.readline().split()[-1])
    web = int(process.stdout.readline().split()[-1])
    return process, testing, web


def make_driver(download_dir):
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service

    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium")
    options.add_argument("--headless=new")
    options.add_argument("--window-size=1280,900")
    options.add_argument("--lang=ru")
    if os.geteuid() == 0:
        options.add_argument("--no-sandbox")
    options.add_experimental_option("prefs", {"download.default_directory": download_dir})
    driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
    driver.execute_cdp_cmd("Page.setDownloadBehavior",
                           {"behavior": "allow", "downloadPath": download_dir})
    driver.implicitly_wait(10)
    return driver


def sign_in(driver, base, name, password):
    from selenium.webdriver.common.by import By

    driver.get(base + "/login")
    driver.find_element(By.ID, "name").send_keys(name)
    driver.find_element(By.ID, "password").send_keys(password)
    driver.find_element(By.ID, "signin").click()


def row_names(driver):
    from selenium.webdriver.common.by import By

    return [row.get_attribute("data-name")
            for row in driver.find_elements(By.CSS_SELECTOR, "#book tbody tr")
            if row.is_displayed()]


def wait_for_file(folder, name, seconds=20):
    path = os.path.join(folder, name)
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if os.path.exists(path) and os.path.getsize(path) > 0:
            return path
        time.sleep(0.1)
    raise AssertionError("the CSV was not downloaded")


def check_csv(path):
    data = open(path, "rb").read()
    assert data.startswith(b"\xef\xbb\xbf"), "no byte-order mark"
    rows = list(csv.reader(io.StringIO(data.decode("utf-8-sig")), delimiter=";"))
    header = rows[0]
    assert header[0] == "Студент" and "Балка-1 (из 3)" in header, header
    column = header.index("Балка-1 (из 3)")
    by_name = {row[0]: row for row in rows[1:]}
    assert by_name[STUDENT[0]][column] == "2", by_name
    assert by_name[SCRIPTED[0]][column] == "1", by_name
    for row in rows:
        assert len(row) == len(header), row
        for cell in row:
            assert not cell or cell[0] not in "=+-@", cell


def wait_until(driver, condition, what, seconds=15):
    """Waits for a page the browser is still loading after a click; fails saying what."""
    from selenium.common.exceptions import (NoSuchElementException,
                                            StaleElementReferenceException, TimeoutException)
    from selenium.webdriver.support.ui import WebDriverWait

    loading = (NoSuchElementException, StaleElementReferenceException)
    try:
        WebDriverWait(driver, seconds, ignored_exceptions=loading).until(lambda d: condition(d))
    except TimeoutException:
        raise AssertionError("%s (at %s)" % (what, driver.current_url))


def browse(driver, base, download_dir, shots):
    from selenium.common.exceptions import NoAlertPresentException
    from selenium.webdriver.common.by import By

    def shoot(name):
        if shots:
            driver.save_screenshot(os.path.join(shots, name))

    sign_in(driver, base, *TEACHER)
    wait_until(driver, lambda d: d.current_url.rstrip("/") == base, "the gradebook after sign-in")
    assert driver.find_element(By.ID, "book")
    names = [cell.text for cell in driver.find_elements(By.CSS_SELECTOR, "#book tbody td.name")]
    assert SCRIPTED[0] in names, names  # the name shows as text
    try:
        driver.switch_to.alert
        raise AssertionError("a student's name ran as a script")
    except NoAlertPresentException:
        pass
    shoot("gradebook.png")

    # Sorting by the total: highest first on the second click.
    total = driver.find_element(By.CSS_SELECTOR, "#book thead th[data-col]:last-of-type")
    total.click()
    assert row_names(driver)[-1] == STUDENT[0], row_names(driver)
    total.click()
    assert row_names(driver)[0] == STUDENT[0], row_names(driver)
    driver.find_element(By.ID, "filter").send_keys("Иван")
    assert row_names(driver) == [STUDENT[0]], row_names(driver)

    driver.find_element(By.LINK_TEXT, STUDENT[0]).click()
    wait_until(driver, lambda d: "/student/" in d.current_url, "the student's page")
    page = driver.find_element(By.TAG_NAME, "main").text
    assert "попытка 1" in page and "неверно" in page and "X_A" in page, page
    shoot("student.png")

    driver.find_element(By.LINK_TEXT, TASK).click()
    wait_until(driver, lambda d: "/task/" in d.current_url, "the task's page")
    picture = driver.find_element(By.CSS_SELECTOR, "img.task")
    assert driver.execute_script("return arguments[0].naturalWidth", picture) > 0
    assert "Эталон" in driver.find_element(By.TAG_NAME, "main").text
    shoot("task.png")

    # A task with a drawn answer: each student's newest drawing over their variant.
    driver.get(base + "/task/" + urllib.parse.quote(DRAWN_TASK))
    wait_until(driver, lambda d: "Рисунки студентов" in d.find_element(By.TAG_NAME, "main").text,
               "the drawings on the task's page")
    drawing = driver.find_element(By.CSS_SELECTOR, "img.drawing")
    assert driver.execute_script("return arguments[0].naturalWidth", drawing) > 0
    assert STUDENT[0] in driver.find_element(By.TAG_NAME, "main").text
    driver.execute_script("arguments[0].scrollIntoView()", drawing)
    shoot("task-drawing.png")

    driver.get(base + "/now")
    assert "Сейчас на сервере" in driver.find_element(By.TAG_NAME, "h1").text
    shoot("now.png")

    driver.get(base + "/")
    driver.find_element(By.LINK_TEXT, "CSV").click()
    check_csv(wait_for_file(download_dir, "gradebook.csv"))

    driver.find_element(By.ID, "logout").click()
    wait_until(driver, lambda d: d.current_url.endswith("/login"), "the sign-in page after sign-out")
    sign_in(driver, base, *STUDENT)
    wait_until(driver,
               lambda d: "Вход только для преподавателей" in d.find_element(By.TAG_NAME, "body").text,
               "a student account refused")
    driver.get(base + "/")
    assert driver.current_url.endswith("/login"), driver.current_url


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 64
    server, bank = sys.argv[1], sys.argv[2]
    shots = sys.argv[3] if len(sys.argv) > 3 else None
    if browser_parts() is None:
        print("SKIP: chromium, chromium-driver or python3-selenium is not installed")
        return SKIPPED
    with tempfile.TemporaryDirectory() as folder:
        db = os.path.join(folder, "course.sqlite")
        run_server_command(server, db, bank, ["user", "add", TEACHER[0], "--teacher"],
                           TEACHER[1] + "\n")
        for name, password in (STUDENT, SCRIPTED):
            run_server_command(server, db, bank, ["user", "add", name], password + "\n")
        process, testing, web = start_server(server, db, bank)
        try:
            # Balka-1: X_A = -5, Y_A = 5.83, R_B = 2.83.
            first = ProtocolClient(testing)
            first.answer(*STUDENT, TASK, [("X!A", "-5"), ("Y!A", "7"), ("R!B", "2,83")])
            second = ProtocolClient(testing)
            second.answer(*SCRIPTED, TASK, [("X!A", "5"), ("Y!A", "0"), ("R!B", "2,83")])
            third = ProtocolClient(testing)
            third.answer(*STUDENT, DRAWN_TASK, [("Y!A", "1"), ("R!B", "1")],
                         ["force 40 70 0 X!A", "force 40 70 90 Y!A", "force 280 70 90 R!B"])
            downloads = os.path.join(folder, "downloads")
            os.mkdir(downloads)
            driver = make_driver(downloads)
            try:
                browse(driver, "http://127.0.0.1:%d" % web, downloads, shots)
            finally:
                driver.quit()
        finally:
            process.terminate()
            process.wait(timeout=20)
    print("gradebook in the browser: passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
