"""Glimsel.scr in real windows under Wine, on the virtual X server of the Windows test
stage (scripts/test-windows.sh provides DISPLAY, WINEPREFIX and a running wineserver).

    wine_window_tests.py <case> --build <build-win folder> --out <screenshot folder>

Settings go into the prefix's registry with regedit; input comes from xdotool; what the
windows are is asked of Windows itself (win32_host find / pane); what they show is read
from screenshots. Without a display or Wine the case skips (exit 77).
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "x11"))
from x11_harness import Failure, Picture, check, parse_ppm, require, skip, solid, write_bmp  # noqa: E402

KEY = r"HKEY_CURRENT_USER\Software\Norvane\Glimsel"
SCREEN = (1024, 768)


class Stage:
    def __init__(self, build, out, name):
        self.build, self.out, self.name = build, out, name
        self.root = tempfile.mkdtemp(prefix="glimsel-wine-" + name + "-")
        self.pictures = os.path.join(self.root, "pictures")
        os.makedirs(self.pictures)
        self.procs = []

    # ---- Windows paths, settings, programs ----
    @staticmethod
    def windows_path(path):
        return "Z:" + path.replace("/", "\\")

    def settings(self, **values):
        """Replaces the program's registry key: Path (the picture folder unless given), Speed, flashSleep."""
        values.setdefault("Path", self.windows_path(self.pictures))
        lines = ["REGEDIT4", "", "[-%s]" % KEY, "", "[%s\\Config]" % KEY]
        for name, value in values.items():
            if isinstance(value, int):
                lines.append('"%s"=dword:%08x' % (name, value & 0xFFFFFFFF))
            elif value is not None:
                lines.append('"%s"="%s"' % (name, value.replace("\\", "\\\\")))
        reg = os.path.join(self.root, "settings.reg")
        with open(reg, "w") as f:
            f.write("\r\n".join(lines) + "\r\n")
        self.wine("regedit", "/S", self.windows_path(reg))

    def wine(self, *args, timeout=30):
        return subprocess.run(["wine"] + list(args), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              timeout=timeout, universal_newlines=True)

    def start(self, program, *args):
        proc = subprocess.Popen(["wine", os.path.join(self.build, program)] + list(args),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.procs.append(proc)
        return proc

    def saver(self, *args):
        return self.start("Glimsel.scr", *args)

    def windows(self):
        """Our visible top-level windows: (topmost, caption, left, top, right, bottom)."""
        listing = os.path.join(self.root, "windows")
        self.wine(os.path.join(self.build, "tests", "platform", "win32_host.exe"), "find", "GlimselDrawWnd",
                  self.windows_path(listing))
        with open(listing) as f:
            return [tuple(int(v) for v in line.split()[1:]) for line in f if line.strip()]

    def wait_for_window(self, proc, timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline:
            check(proc.poll() is None, "the program ended early with %s" % proc.returncode)
            found = self.windows()
            if found:
                return found[0]
            time.sleep(0.2)
        raise Failure("no window appeared")

    @staticmethod
    def wait_exit(proc, timeout, what):
        try:
            return proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure(what + " did not end the program")

    @staticmethod
    def still_running(proc, seconds, what):
        time.sleep(seconds)
        check(proc.poll() is None, what + " ended the program (exit %s)" % proc.returncode)

    # ---- Input and pictures ----
    def xdotool(self, *args):
        result = subprocess.run(["xdotool"] + [str(a) for a in args], stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, universal_newlines=True, timeout=20)
        check(result.returncode == 0, "xdotool %s failed: %s" % (args, result.stderr))

    def screenshot(self, label):
        os.makedirs(self.out, exist_ok=True)
        png = os.path.join(self.out, "%s-%s.png" % (self.name, label))
        subprocess.run(["import", "-window", "root", png], check=True, timeout=30)
        ppm = subprocess.run(["convert", png, "-depth", "8", "ppm:-"], stdout=subprocess.PIPE, timeout=30).stdout
        return Picture(parse_ppm(ppm))

    def cleanup(self):
        for proc in self.procs:
            if proc.poll() is None:
                proc.kill()
                proc.wait()
        subprocess.run(["rm", "-rf", self.root])


RED = (230, 20, 20)
GREEN = (20, 200, 40)


def is_colour(rgb):
    return lambda r, g, b: abs(r - rgb[0]) < 40 and abs(g - rgb[1]) < 40 and abs(b - rgb[2]) < 40


def longest_runs(picture, rect, test):
    """The longest horizontal and vertical runs of matching pixels inside rect."""
    x0, y0, x1, y1 = rect
    wide = tall = 0
    columns = [0] * (x1 - x0)
    for y in range(y0, y1):
        run = 0
        for x in range(x0, x1):
            if test(*picture.at(x, y)):
                run += 1
                columns[x - x0] += 1
                wide = max(wide, run)
                tall = max(tall, columns[x - x0])
            else:
                run = 0
                columns[x - x0] = 0
    return wide, tall


# ---- The cases ---------------------------------------------------------------------

def case_saver_key(s):
    """/s covers the screen on top, draws pictures, and a key press ends it with 0."""
    write_bmp(os.path.join(s.pictures, "red.bmp"), 64, 48, solid(RED))
    s.settings(Speed=90)
    s.xdotool("mousemove", 1000, 700)
    proc = s.saver("/s")
    window = s.wait_for_window(proc)
    check(window == (1, 0, 0, 0) + SCREEN, "the saver window is %s, not a topmost full screen" % (window,))
    time.sleep(2)
    shot = s.screenshot("pictures")
    red = shot.count((0, 0) + SCREEN, is_colour(RED))
    other = shot.count((0, 0) + SCREEN, lambda r, g, b: (r or g or b) and not is_colour(RED)(r, g, b))
    check(red >= 64 * 48, "no picture drawn (%d red pixels)" % red)
    check(other == 0, "%d pixels are neither black nor picture: the screen is not covered" % other)
    s.xdotool("key", "space")
    check(s.wait_exit(proc, 15, "a key press") == 0, "the exit code after a key is not 0")


def case_flash_click(s):
    """A click while a picture flashes ends the run with 88."""
    write_bmp(os.path.join(s.pictures, "red.bmp"), 300, 200, solid(RED))
    s.settings(Speed=100, flashSleep=90)
    s.xdotool("mousemove", 1000, 700)
    proc = s.saver("/s")
    s.wait_for_window(proc)
    time.sleep(1.5)  # one flash takes 30 steps of 90 ms; the timer ticks every 10 ms
    s.xdotool("click", 1)
    check(s.wait_exit(proc, 15, "a click") == 88, "the exit code after a click during a flash is not 88")


def case_test_mode(s):
    """/t is an ordinary 800 by 600 window that only a left click ends."""
    write_bmp(os.path.join(s.pictures, "red.bmp"), 64, 48, solid(RED))
    s.settings(Speed=90)
    s.xdotool("mousemove", 5, 5)
    proc = s.saver("/t")
    topmost, caption, left, top, right, bottom = s.wait_for_window(proc)
    check(not topmost and caption, "the test window is topmost or has no caption")
    check((right - left, bottom - top) == (800, 600), "the test window is %dx%d" % (right - left, bottom - top))
    x, y = (left + right) // 2, (top + bottom) // 2
    s.xdotool("mousemove", x, y)
    s.xdotool("key", "space")
    s.xdotool("click", 3)
    s.xdotool("mousemove", x + 50, y + 40)
    s.still_running(proc, 1.5, "a key, a right click or a mouse move")
    s.xdotool("click", 1)
    check(s.wait_exit(proc, 15, "a left click") == 0, "the exit code after a left click is not 0")


def pane_listing(folder):
    try:
        with open(os.path.join(folder, "children")) as f:
            return [tuple(int(v) for v in line.split()[1:]) for line in f if line.strip()]
    except OSError:
        return []


def wait_file(path, proc, timeout=30):
    deadline = time.time() + timeout
    while time.time() < deadline:
        check(proc.poll() is None, "the host ended early with %s" % proc.returncode)
        if os.path.exists(path):
            with open(path) as f:
                text = f.read().strip()
            if text:
                return text
        time.sleep(0.1)
    raise Failure(path + " did not appear")


def case_preview_foreign(s):
    """/p HWND puts a child covering another program's pane and ends when the pane goes."""
    s.settings(Speed=90)
    host = s.start(os.path.join("tests", "platform", "win32_host.exe"), "pane", s.windows_path(s.root), "152", "112")
    hwnd = wait_file(os.path.join(s.root, "hwnd"), host)
    proc = s.saver("/p", hwnd)
    deadline = time.time() + 30
    children = []
    while time.time() < deadline and not children:
        check(proc.poll() is None, "the preview ended early with %s" % proc.returncode)
        children = [c for c in pane_listing(s.root) if c[0] == 0]
        time.sleep(0.2)
    check(children == [(0, 1, 0, 0, 152, 112)], "the pane's children are %s" % children)
    s.screenshot("pane")
    with open(os.path.join(s.root, "destroy"), "w"):
        pass
    check(s.wait_exit(proc, 15, "destroying the pane") == 0, "the preview's exit code is not 0")
    check(s.wait_exit(host, 15, "the end of the pane") == 0, "the host failed")


def case_preview_drawing(s):
    """The preview draws at the pane's scale: a 256x192 pane on 1024x768 shows 400x300 as 100x75."""
    write_bmp(os.path.join(s.pictures, "green.bmp"), 400, 300, solid(GREEN))
    s.settings(Speed=40)  # 2.8 s between pictures: one or two pictures in the pane
    host = s.start(os.path.join("tests", "platform", "win32_preview_host.exe"), s.windows_path(s.root), "256", "192")
    wait_file(os.path.join(s.root, "hwnd"), host)
    time.sleep(4.5)
    shot = s.screenshot("preview")
    pane = (40, 40, 40 + 256, 40 + 192)
    wide, tall = longest_runs(shot, pane, is_colour(GREEN))
    check(100 <= wide < 200 and 75 <= tall < 150, "the picture in the pane is %dx%d, not 100x75" % (wide, tall))
    outside = shot.count((0, 0, SCREEN[0], 40), is_colour(GREEN))
    check(outside == 0, "%d picture pixels above the pane" % outside)
    with open(os.path.join(s.root, "destroy"), "w"):
        pass
    check(s.wait_exit(host, 15, "destroying the pane") == 0, "the preview's exit code is not 0")


def case_first_run(s):
    """The first run makes the application key and its Config sub-key."""
    with open(os.path.join(s.root, "clear.reg"), "w") as f:
        f.write("REGEDIT4\r\n\r\n[-%s]\r\n" % KEY)
    s.wine("regedit", "/S", s.windows_path(os.path.join(s.root, "clear.reg")))
    check(s.wine("reg", "query", KEY).returncode != 0, "the key exists before the first run")
    proc = s.saver("/unknown")
    s.wait_exit(proc, 20, "an unknown switch")
    check(s.wine("reg", "query", KEY).returncode == 0, "the first run made no application key")
    check(s.wine("reg", "query", KEY + "\\Config").returncode == 0, "the first run made no Config key")


def case_unknown_switches(s):
    """Unknown switches, /C:123 among them, end at once with 0 and open no window."""
    s.settings()
    for args in (["/x"], ["/C:123"], ["//s"], ["/s5"], ["/p:123"], ["/p"], ["/p", "0"]):
        proc = s.saver(*args)
        check(s.wait_exit(proc, 20, "%s" % args) == 0, "%s did not end with 0" % args)
    check(not s.windows(), "a window is left open")


def main(cases=None):
    """Runs the case named on the command line: a function case_NAME of `cases` (a module's
    globals; this module's by default)."""
    cases = globals() if cases is None else cases
    parser = argparse.ArgumentParser()
    parser.add_argument("case")
    parser.add_argument("--build", required=True)
    parser.add_argument("--out", required=True)
    a = parser.parse_args()
    require("wine", "xdotool", "import", "convert")
    if not os.environ.get("DISPLAY") or not os.environ.get("WINEPREFIX"):
        skip("runs in the Windows test stage, with a display and a Wine prefix")
    stage = Stage(os.path.abspath(a.build), a.out, a.case)
    try:
        cases["case_" + a.case](stage)
    except Failure as e:
        print("FAIL: %s: %s" % (a.case, e))
        return 1
    finally:
        stage.cleanup()
    print("PASS: " + a.case)
    return 0


if __name__ == "__main__":
    sys.exit(main())
