"""Helpers for the tests that run glimsel on a virtual X server (Xvfb).

Each test starts its own server on a free display number, writes its own pictures and
settings into a temporary folder, and drives the program with xdotool. Tools that are
missing make the test skip with exit code 77.
"""
import argparse
import os
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

SKIP = 77


def skip(reason):
    print("SKIP: " + reason)
    sys.exit(SKIP)


def require(*tools):
    for tool in tools:
        if not shutil.which(tool):
            skip(tool + " is not installed")


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


# ---- Pictures and settings ----------------------------------------------------------

def write_bmp(path, width, height, pixel):
    """A 24-bit bottom-up BMP; pixel(x, y) gives (r, g, b) for the top-down row y."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def solid(rgb):
    return lambda x, y: rgb


class Workspace:
    """A temporary folder with a picture folder and a settings home."""

    def __init__(self, name):
        self.root = tempfile.mkdtemp(prefix="glimsel-" + name + "-")
        self.pictures = os.path.join(self.root, "pictures")
        self.config = os.path.join(self.root, "config")
        os.makedirs(self.pictures)
        os.makedirs(os.path.join(self.config, "Norvane"))

    def picture(self, name, width, height, pixel):
        write_bmp(os.path.join(self.pictures, name), width, height, pixel)

    def settings(self, **values):
        """The program's INI file; Path defaults to the picture folder."""
        values.setdefault("Path", self.pictures)
        lines = ["[Config]"] + ["%s=%s" % (k, v) for k, v in values.items() if v is not None]
        with open(os.path.join(self.config, "Norvane", "glimsel.ini"), "w") as f:
            f.write("\n".join(lines) + "\n")

    def env(self, display):
        env = dict(os.environ)
        env["DISPLAY"] = display
        env["XDG_CONFIG_HOME"] = self.config
        env["HOME"] = self.root
        env.pop("XSCREENSAVER_WINDOW", None)
        return env

    def cleanup(self):
        shutil.rmtree(self.root, ignore_errors=True)


# ---- The X server ----------------------------------------------------------------------

class Xvfb:
    """A virtual server on the first free display number."""

    def __init__(self, width=1024, height=768, extra=()):
        require("Xvfb")
        read_end, write_end = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % (width, height),
             "-nolisten", "tcp", "-noreset"] + list(extra),
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.time() + 15
        while not number.endswith(b"\n"):
            left = deadline - time.time()
            ready, _, _ = select.select([read_end], [], [], max(left, 0))
            if not ready:
                self.stop()
                raise Failure("Xvfb did not start")
            chunk = os.read(read_end, 32)
            if not chunk:
                self.stop()
                raise Failure("Xvfb ended at start")
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()

    def run(self, *args, **kw):
        env = dict(os.environ)
        env["DISPLAY"] = self.display
        return subprocess.run(list(args), env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              timeout=kw.get("timeout", 10), text=True)

    def xdotool(self, *args):
        result = self.run("xdotool", *[str(a) for a in args])
        check(result.returncode == 0, "xdotool %s failed: %s" % (args, result.stderr))
        return result.stdout

    def screenshot(self, png):
        """Saves the screen as PNG and returns it as (width, height, RGB bytes)."""
        result = self.run("import", "-window", "root", png)
        check(result.returncode == 0, "import failed: " + result.stderr)
        env = dict(os.environ)
        ppm = subprocess.run(["convert", png, "-depth", "8", "ppm:-"], stdout=subprocess.PIPE,
                             env=env, timeout=20).stdout
        return parse_ppm(ppm)

    def find_windows(self, klass="Glimsel", timeout=10):
        """The ids of the viewable windows of `klass`, once there is one."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            result = self.run("xdotool", "search", "--onlyvisible", "--class", klass)
            ids = [int(line) for line in result.stdout.split()]
            if ids:
                return ids
            time.sleep(0.05)
        raise Failure("no %s window appeared" % klass)

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()


def wait_until(condition, timeout, what):
    """Polls `condition` until it gives a true value, which it returns; fails after
    `timeout` seconds. Tests wait for what they need to see, never for a fixed time,
    so a busy machine only makes them slower."""
    deadline = time.time() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.time() > deadline:
            raise Failure("waited %g s in vain for %s" % (timeout, what))
        time.sleep(0.05)


def parse_ppm(data):
    # P6 <w> <h> <max> then binary RGB.
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    pos += 1
    check(fields[0] == b"P6", "not a PPM picture")
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos:pos + width * height * 3]


class Picture:
    def __init__(self, shot):
        self.width, self.height, self.rgb = shot

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def count(self, rect, test):
        x0, y0, x1, y1 = rect
        n = 0
        for y in range(y0, y1):
            row = self.rgb[(y * self.width + x0) * 3:(y * self.width + x1) * 3]
            for i in range(0, len(row), 3):
                if test(row[i], row[i + 1], row[i + 2]):
                    n += 1
        return n

    def non_black(self, rect):
        return self.count(rect, lambda r, g, b: r or g or b)

    def bounding_box(self, rect, test):
        x0, y0, x1, y1 = rect
        box = None
        for y in range(y0, y1):
            for x in range(x0, x1):
                if test(*self.at(x, y)):
                    if box is None:
                        box = [x, y, x + 1, y + 1]
                    else:
                        box = [min(box[0], x), min(box[1], y), max(box[2], x + 1), max(box[3], y + 1)]
        return box


# ---- The program ---------------------------------------------------------------------------

class Program:
    def __init__(self, path, args, env, log):
        self.log_path = log
        self.log = open(log, "w")
        self.proc = subprocess.Popen([path] + list(args), env=env, stdout=self.log, stderr=subprocess.STDOUT)

    def alive(self):
        return self.proc.poll() is None

    def wait(self, timeout):
        """The exit code, or None when it still runs after `timeout` seconds."""
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def stop(self):
        if self.alive():
            self.proc.kill()
            self.proc.wait()
        self.log.close()

    def output(self):
        self.log.flush()
        with open(self.log_path) as f:
            return f.read()


class Host:
    """The x11_host helper: a window of another program that hosts a preview."""

    def __init__(self, path, display, width, height):
        env = dict(os.environ)
        env["DISPLAY"] = display
        self.proc = subprocess.Popen([path, str(width), str(height)], env=env, stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE)
        # Lines are split here: a buffered reader would hide waiting lines from select.
        self.pending = b""
        self.window = int(self.read_line())

    def read_line(self, timeout=10):
        deadline = time.time() + timeout
        while b"\n" not in self.pending:
            ready, _, _ = select.select([self.proc.stdout], [], [], max(deadline - time.time(), 0))
            check(ready, "x11_host did not answer")
            chunk = os.read(self.proc.stdout.fileno(), 4096)
            check(chunk, "x11_host ended")
            self.pending += chunk
        line, self.pending = self.pending.split(b"\n", 1)
        return line.decode().strip()

    def send(self, line):
        self.proc.stdin.write((line + "\n").encode())
        self.proc.stdin.flush()

    def children(self):
        self.send("children")
        result = []
        while True:
            line = self.read_line()
            if line == "end":
                return result
            _, ident, width, height, state = line.split()
            result.append((int(ident), int(width), int(height), state))

    def kill(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGKILL)
            self.proc.wait()


def case_arguments(cases, program="--glimsel"):
    """Reads a test script's line: the case, the program under test, the host and the output
    folder (made here)."""
    parser = argparse.ArgumentParser()
    parser.add_argument("case", choices=sorted(cases))
    parser.add_argument(program, required=True)
    parser.add_argument("--host", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    return args


def program_main(cases, tools=("Xvfb",), without_display=()):
    """The whole of a script that tests the built program on a virtual display."""
    args = case_arguments(cases)
    if args.case not in without_display:
        require(*tools)
    if not os.path.exists(args.glimsel):
        skip("glimsel is not built")
    return run_case(cases[args.case], args)


def run_case(case, args):
    """Runs one test function; 0 passed, 1 failed, 77 skipped."""
    try:
        case(args)
    except Failure as e:
        print("FAIL: %s" % e)
        return 1
    print("PASS")
    return 0
