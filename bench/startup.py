#!/usr/bin/python3
"""Start-up and click-to-painted of the client, measured as processes under Xvfb.

  bench/startup.py [--build build/default] [--client PATH] [--rounds 15] [--clicks 15]

Start-up: the client and a one-QLabel window (bench/label_window) are started in turn, each
`rounds` times, with no window manager; a start lasts from just before the process is made
to the mark the program writes on stderr once its window has been painted (the client writes
its marks with VEKTA_PAINT_MARKS set). Click to painted: against a local
`vekta-server --demo`, the client logs in as the demo's Guest by clicking like a student,
then a task link is clicked `clicks` times (the menu's "Задания" brings the list back in
between); each lasts from just before xdotool clicks to the mark of the task's statement
painted. Medians, minima and maxima are printed in milliseconds.

Needs the Debian packages xvfb and xdotool; builds nothing (build vekta-client,
vekta-server and label_window first).
"""

import argparse
import os
import pathlib
import queue
import re
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
SCREEN = "1280x1024x24"
TIMEOUT = 20.0


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def free_display():
    for number in range(90, 200):
        if not os.path.exists(f"/tmp/.X11-unix/X{number}") and not os.path.exists(
            f"/tmp/.X{number}-lock"
        ):
            return f":{number}"
    raise RuntimeError("no free X display number")


class Program:
    """A process whose stderr marks ("vekta-mark WHAT MS [X Y]") are read as they come."""

    def __init__(self, command, env, cwd=None):
        self.process = subprocess.Popen(
            command, env=env, cwd=cwd, stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        self.marks = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.process.stderr:
            parts = line.split()
            if len(parts) >= 3 and parts[0] == "vekta-mark":
                self.marks.put((parts[1], float(parts[2]), [int(p) for p in parts[3:5]]))

    def wait_mark(self, what, after=0.0):
        """The first mark `what` at or after the monotonic time `after` (ms)."""
        deadline = time.monotonic() + TIMEOUT
        while True:
            left = deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError(f"no '{what}' mark")
            name, at, place = self.marks.get(timeout=left)
            if name == what and at >= after:
                return at, place

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def now_ms():
    return time.monotonic() * 1000.0


def xdotool(env, *args):
    return subprocess.run(["xdotool", *args], env=env, check=True, capture_output=True,
                          text=True).stdout


def window_of(env, pid, size, other_than=False):
    """The position of the visible window of the process that has this size (or, with
    other_than, of one that has another size)."""
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                               env=env, capture_output=True, text=True).stdout.split()
        for window in found:
            shape = xdotool(env, "getwindowgeometry", window)
            position = re.search(r"Position: (-?\d+),(-?\d+)", shape)
            geometry = re.search(r"Geometry: (\d+)x(\d+)", shape)
            if position and geometry and (tuple(map(int, geometry.groups())) == size) != other_than:
                return tuple(map(int, position.groups()))
        time.sleep(0.05)
    raise TimeoutError(f"no window {size} of process {pid}")


def click(env, x, y):
    xdotool(env, "mousemove", str(x), str(y), "click", "1")


def summary(name, values):
    return (f"{name}: median {statistics.median(values):.1f} ms, min {min(values):.1f}, "
            f"max {max(values):.1f} ({len(values)} runs)")


def measure_startup(env, client, label, rounds):
    times = {"client": [], "label": []}
    for _ in range(rounds):
        for name, command in (("label", [label]), ("client", [client])):
            start = now_ms()
            program = Program(command, env)
            try:
                painted, _ = program.wait_mark("window")
                times[name].append(painted - start)
            finally:
                program.stop()
    return times


def measure_clicks(env, client, server, clicks):
    port = free_port()
    with tempfile.TemporaryDirectory() as folder:
        serving = subprocess.Popen(
            [server, "--demo", "--port", str(port), "--bank", str(ROOT / "server" / "bank")],
            cwd=folder, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        program = None
        try:
            deadline = time.monotonic() + TIMEOUT
            while True:
                try:
                    socket.create_connection(("127.0.0.1", port), timeout=0.2).close()
                    break
                except OSError:
                    if time.monotonic() > deadline:
                        raise
                    time.sleep(0.05)
            client_env = dict(env, HOME=folder, XDG_CONFIG_HOME=folder, XDG_DATA_HOME=folder)
            program = Program([client, "--server", f"127.0.0.1:{port}"], client_env)
            program.wait_mark("window")
            left, top = window_of(env, program.process.pid, (600, 380))
            click(env, left + 60, top + 18)  # "Войти на сервер"
            dialog_left, dialog_top = window_of(env, program.process.pid, (272, 131))
            click(env, dialog_left + 76, dialog_top + 100)  # "Соединиться", as Guest
            time.sleep(0.3)
            window_of(env, program.process.pid, (600, 380), other_than=True)  # the greeting
            xdotool(env, "key", "Return")
            time.sleep(0.3)
            click(env, left + 66, top + 73 + 128)  # "Задания"
            _, link = program.wait_mark("list")
            times = []
            for _ in range(clicks):
                start = now_ms()
                click(env, *link)
                painted, _ = program.wait_mark("task", start)
                times.append(painted - start)
                back = now_ms()
                click(env, left + 66, top + 73 + 128)  # "Задания"
                _, link = program.wait_mark("list", back)
            return times
        finally:
            if program:
                program.stop()
            serving.terminate()
            serving.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=str(ROOT / "build" / "default"))
    parser.add_argument("--client", help="the client to measure (default: the build's)")
    parser.add_argument("--rounds", type=int, default=15)
    parser.add_argument("--clicks", type=int, default=15)
    args = parser.parse_args()
    build = pathlib.Path(args.build)
    client = args.client or str(build / "bin" / "vekta-client")
    label = str(build / "bench" / "label_window")
    server = str(build / "bin" / "vekta-server")

    display = free_display()
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", SCREEN, "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", VEKTA_PAINT_MARKS="1")
        env.pop("WAYLAND_DISPLAY", None)
        deadline = time.monotonic() + TIMEOUT
        while not os.path.exists(f"/tmp/.X11-unix/X{display[1:]}"):
            if time.monotonic() > deadline or xvfb.poll() is not None:
                sys.exit("startup.py: Xvfb did not start")
            time.sleep(0.05)
        # One start of each first, so that both find the libraries and fonts in memory.
        measure_startup(env, client, label, 1)
        starts = measure_startup(env, client, label, args.rounds)
        print(summary("start, one-QLabel window", starts["label"]))
        print(summary("start, client", starts["client"]))
        ratio = statistics.median(starts["client"]) / statistics.median(starts["label"])
        print(f"start ratio client / QLabel: {ratio:.2f}")
        print(summary("click on a task link to the task painted",
                      measure_clicks(env, client, server, args.clicks)))
    finally:
        xvfb.terminate()
        xvfb.wait()


if __name__ == "__main__":
    main()
