#!/usr/bin/python3
"""The settings sheet of glimsel on a virtual X server: its pages, its live preview,
the scroll bars' keys, and what OK, Cancel and the close box store.

    x11_settings_tests.py CASE --glimsel PATH --host PATH --out FOLDER

Screenshots of every case are kept in FOLDER for a look by eye.
"""
import os
import re
import struct
import subprocess
import sys
import time
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from x11_harness import Failure, Host, check, program_main, solid, write_bmp  # noqa: E402
from x11_tests import PATIENCE, Session, some_pictures  # noqa: E402

STRIP = 400          # the sheet is widened by this much for the preview
ICON_ORANGE = (242, 163, 58)
GTK_ENV = {
    # No session bus here: GTK keeps its settings in memory and skips the
    # accessibility bus.
    "GSETTINGS_BACKEND": "memory",
    "NO_AT_BRIDGE": "1",
    # In a sanitizer build: what GTK's font library keeps at exit is no leak of ours.
    "LSAN_OPTIONS": ":".join(filter(None, [
        os.environ.get("LSAN_OPTIONS", ""),
        "suppressions=" + os.path.join(os.path.dirname(os.path.abspath(__file__)), "fontconfig.supp")])),
}


def write_settings(ws, root=None, **config):
    """The INI file with ActivePage and friends outside any section."""
    config.setdefault("Path", ws.pictures)
    lines = ["%s=%s" % kv for kv in (root or {}).items()]
    lines += ["[Config]"] + ["%s=%s" % kv for kv in config.items()]
    with open(ini_path(ws), "w") as f:
        f.write("\n".join(lines) + "\n")


def ini_path(ws):
    return os.path.join(ws.config, "Norvane", "glimsel.ini")


def read_settings(ws):
    """{(section, name): value}; the top of the file is section ""."""
    values = {}
    section = ""
    with open(ini_path(ws)) as f:
        for line in f:
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                section = line[1:-1]
            elif "=" in line:
                name, value = line.split("=", 1)
                values[(section, name)] = value
    return values


def setting(ws, name, section="Config"):
    return read_settings(ws).get((section, name))


class Sheet:
    """The sheet's window: where it is and where its preview should be."""

    def __init__(self, session):
        self.s = session
        try:
            out = session.x.run("xdotool", "search", "--sync", "--onlyvisible", "--name", "^Glimsel$",
                                timeout=10).stdout
        except subprocess.TimeoutExpired:
            raise Failure("no window named Glimsel appeared\n" + session.program.output())
        self.window = int(out.split()[0])
        geometry = dict(line.split("=", 1) for line in
                        session.x.xdotool("getwindowgeometry", "--shell", self.window).split())
        self.x, self.y = int(geometry["X"]), int(geometry["Y"])
        self.width, self.height = int(geometry["WIDTH"]), int(geometry["HEIGHT"])
        # The pages' own size before the sheet was widened.
        self.pages_width = self.width - STRIP

    def pages(self):
        return (self.x, self.y, self.x + self.pages_width, self.y + self.height)

    def preview(self):
        w, h = self.pages_width, self.height
        return (self.x + w + 10, self.y + 10, self.x + w + 380, self.y + h - 30)

    def children(self):
        """(width, height, x, y) of the sheet's X children, relative to the sheet."""
        tree = self.s.x.run("xwininfo", "-tree", "-id", str(self.window)).stdout
        return [tuple(int(v) for v in m) for m in re.findall(r"\s(\d+)x(\d+)\+(-?\d+)\+(-?\d+)\s+\+", tree)]


def open_sheet(args, name, *argv, **config):
    s = Session(args, name)
    some_pictures(s.ws)
    write_settings(s.ws, **config)
    s.start(*argv, env=GTK_ENV)
    return s, Sheet(s)


def light(r, g, b):
    return r > 200 and g > 200 and b > 200


def near(colour, tolerance=12):
    return lambda r, g, b: all(abs(a - c) <= tolerance for a, c in zip((r, g, b), colour))


def speed_bar(shot, pages):
    """(x, y, length) of the longest run of the highlight colour on the pages: the speed
    bar when it stands at 100; None without one."""
    blue = lambda r, g, b: b > 180 and r < 110 and 100 < g < 170  # noqa: E731
    best = None
    x0, y0, x1, y1 = pages
    for y in range(y0, y1):
        run_start = None
        for x in range(x0, x1 + 1):
            inside = x < x1 and blue(*shot.at(x, y))
            if inside and run_start is None:
                run_start = x
            elif not inside and run_start is not None:
                if best is None or x - run_start > best[2]:
                    best = (run_start, y, x - run_start)
                run_start = None
    return best


def wait_for(condition, seconds, step=0.05):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if condition():
            return True
        time.sleep(step)
    return condition()


# ---- Cases ------------------------------------------------------------------------

def sheet_ok(args):
    # No argument opens the settings; OK on the about page stores that page.
    s, sheet = open_sheet(args, "sheet", Speed=100)
    with s:
        check(sheet.pages_width > 200 and sheet.height > 200,
              "sheet of %dx%d is too small for its pages" % (sheet.width, sheet.height))
        screen_w, screen_h = 1024, 768
        centre_x, centre_y = sheet.x + sheet.width // 2, sheet.y + sheet.height // 2
        check(abs(centre_x - screen_w // 2) <= 2 and abs(centre_y - screen_h // 2) <= 2,
              "sheet at %d,%d is not centred" % (sheet.x, sheet.y))
        # The preview sits in the strip that widened the sheet.
        expected = (370, sheet.height - 40, sheet.pages_width + 10, 10)
        check(expected in sheet.children(), "no preview window %s among %s" % (expected, sheet.children()))

        preview = sheet.preview()
        area = (preview[2] - preview[0]) * (preview[3] - preview[1])
        pages = sheet.pages()
        pages_area = (pages[2] - pages[0]) * (pages[3] - pages[1])
        options = s.shot_when("options", lambda p: p.non_black(preview) > area // 3 and
                              p.count(pages, light) > pages_area // 2)
        drawn = options.non_black(preview)
        check(drawn > area // 3, "the preview shows pictures on only %d of %d pixels" % (drawn, area))
        check(options.count(pages, light) > pages_area // 2, "the options page is not drawn")
        check(options.count(pages, near(ICON_ORANGE)) == 0, "the about page's icon shows on the options page")

        s.x.xdotool("key", "ctrl+Page_Down")
        about = s.shot_when("about", lambda p: p.count(pages, near(ICON_ORANGE)) > 50)
        check(about.count(pages, near(ICON_ORANGE)) > 50, "the about page with its icon did not open")
        check(about.non_black(preview) >= drawn, "the preview lost pictures while the pages changed")

        s.x.xdotool("key", "alt+o")
        s.ends_with(0, "after OK")
        check(setting(s.ws, "ActivePage", "") == "1", "ActivePage is %r after OK on the about page"
              % setting(s.ws, "ActivePage", ""))


def sheet_cancel(args):
    # The stored page opens first; Cancel and the close box leave it as it was.
    s, sheet = open_sheet(args, "cancel", root={"ActivePage": 1}, Speed=50)
    with s:
        shot = s.shot_when("about-first", lambda p: p.count(sheet.pages(), near(ICON_ORANGE)) > 50)
        check(shot.count(sheet.pages(), near(ICON_ORANGE)) > 50, "the sheet did not open on the about page")
        s.x.xdotool("key", "ctrl+Page_Up")
        s.shot_when("options", lambda p: p.count(sheet.pages(), near(ICON_ORANGE)) == 0)
        s.x.xdotool("key", "Escape")
        s.ends_with(0, "after Escape")
        check(setting(s.ws, "ActivePage", "") == "1", "Cancel changed ActivePage")

        s.start(env=GTK_ENV)
        sheet = Sheet(s)
        s.x.xdotool("key", "ctrl+Page_Up")
        s.host = Host(args.host, s.x.display, 10, 10)
        s.host.send("delete %d" % sheet.window)
        check(s.host.read_line() == "sent", "close request not sent")
        s.ends_with(0, "after the close box")
        check(setting(s.ws, "ActivePage", "") == "1", "the close box changed ActivePage")


def sheet_bars(args):
    # Keys on the scroll bars move them by the page's steps; each step is stored.
    s, sheet = open_sheet(args, "bars", Speed=100)
    with s:
        shot = s.shot_when("bars", lambda p: (speed_bar(p, sheet.pages()) or (0, 0, 0))[2] > 100)
        best = speed_bar(shot, sheet.pages())
        check(best is not None and best[2] > 100, "no speed bar found on the page")
        # A click at the left end moves the slider there.
        s.x.xdotool("mousemove", best[0] + 1, best[1], "click", 1)
        check(wait_for(lambda: int(setting(s.ws, "Speed")) <= 3, PATIENCE),
              "a click at the bar's left end stored Speed %s" % setting(s.ws, "Speed"))

        def steps(name, keys_and_values, section="Config"):
            for key, value in keys_and_values:
                s.x.xdotool("key", key)
                check(wait_for(lambda: setting(s.ws, name, section) == str(value), PATIENCE),
                      "%s after %s is %s, not %s" % (name, key, setting(s.ws, name, section), value))

        steps("Speed", [("Home", 1), ("Left", 1), ("Right", 2), ("Page_Down", 12), ("Page_Up", 2),
                        ("End", 100), ("Right", 100), ("Page_Up", 90), ("Up", 89), ("Down", 90)])
        # On to the flash check box: it shows the flash-speed bar at 50.
        steps("flashSleep", [("Tab", -1), ("space", 50)])
        s.shot("flash")
        steps("flashSleep", [("Tab", 50), ("Right", 49), ("Page_Down", 39), ("End", 0), ("Home", 99),
                             ("shift+Tab", 99), ("space", -1)])
        s.x.xdotool("key", "alt+c")
        s.ends_with(0, "after Cancel")
        check(setting(s.ws, "Speed") == "90", "Cancel undid the stored speed")


def sheet_flash_close(args):
    # OK in the middle of a slow flash (30 steps of 0.3 s) closes the sheet at once;
    # the flash stops with the preview.
    s, sheet = open_sheet(args, "flash-close", Speed=100, flashSleep=300)
    with s:
        shot = s.shot_when("growing", lambda p: p.non_black(sheet.preview()) > 0)
        check(shot.non_black(sheet.preview()) > 0, "nothing drawn in the flash")
        started = time.time()
        s.x.xdotool("key", "alt+o")
        # The flash has most of its nine seconds left: the sheet must not wait for it.
        gone = wait_for(lambda: not s.x.run("xdotool", "search", "--onlyvisible", "--name", "^Glimsel$").stdout, 4,
                        step=0.02)
        check(gone, "the sheet stayed open for %.1f s during a flash" % (time.time() - started))
        s.ends_with(0, "after OK during a flash")
        check(setting(s.ws, "ActivePage", "") == "0", "OK did not store the options page")


def sheet_switches(args):
    # The settings forms of the command line open the sheet; /C:4711 opens nothing.
    with Session(args, "switches") as s:
        some_pictures(s.ws)
        write_settings(s.ws, Speed=50)
        for argv in (["c"], ["/c:4711"], ["-C"]):
            s.start(*argv, env=GTK_ENV)
            Sheet(s)
            s.x.xdotool("key", "alt+c")
            s.ends_with(0, "after Cancel of the sheet of %s" % argv)
        s.start("/C:4711", env=GTK_ENV)
        s.ends_with(0, "for /C:4711")
        names = s.x.run("xdotool", "search", "--onlyvisible", "--name", "^Glimsel$").stdout.split()
        check(not names, "a window stayed open: %s" % names)
        check(setting(s.ws, "ActivePage", "") is None, "Cancel wrote ActivePage")


def sheet_scaled(args):
    # A desktop scaled by 2 doubles the whole sheet, the preview strip included: the
    # preview keeps its shape (370 by H - 40 units) in twice the pixels.
    s = Session(args, "scaled")
    some_pictures(s.ws)
    write_settings(s.ws, Speed=100)
    s.start(env=dict(GTK_ENV, GDK_SCALE="2"))
    with s:
        sheet = Sheet(s)
        expected = (740, sheet.height - 80, sheet.width - 780, 20)
        check(expected in sheet.children(), "no preview window %s among %s" % (expected, sheet.children()))
        s.x.xdotool("key", "Escape")
        s.ends_with(0, "after Escape")


def write_png(path, width, height, rgb):
    """An 8-bit RGB PNG of one colour."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\0" + bytes(rgb) * width for _ in range(height))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def sheet_more(args):
    # The "More" section's four boxes, ticked with the keyboard, are stored at once; a
    # picture only in a subfolder and a PNG show in the preview once their boxes are.
    s = Session(args, "more")
    red, green = (230, 30, 30), (30, 220, 30)
    os.makedirs(os.path.join(s.ws.pictures, "sub"))
    write_bmp(os.path.join(s.ws.pictures, "sub", "red.bmp"), 150, 120, solid(red))
    write_png(os.path.join(s.ws.pictures, "green.png"), 150, 120, green)
    write_settings(s.ws, Speed=100)
    s.start(env=GTK_ENV)
    with s:
        sheet = Sheet(s)
        before = s.shot_when("more-before", lambda p: (speed_bar(p, sheet.pages()) or (0, 0, 0))[2] > 100)
        for colour in (red, green):
            check(before.count(sheet.preview(), near(colour, 30)) == 0, "%s shown before its box" % (colour,))
        # From the speed bar (a click at its full end) past the flash box to the first
        # of the four.
        bar = speed_bar(before, sheet.pages())
        check(bar is not None and bar[2] > 100, "no speed bar found on the page")
        s.x.xdotool("mousemove", bar[0] + bar[2] - 1, bar[1], "click", 1)
        s.x.xdotool("key", "Tab")
        for name, shows in (("Upright", None), ("Subfolders", red), ("NoRepeats", None), ("MoreTypes", green)):
            s.x.xdotool("key", "Tab", "space")
            check(wait_for(lambda: setting(s.ws, name) == "1", PATIENCE), "%s is %s after its box" % (name, setting(s.ws, name)))
            if shows:
                check(wait_for(lambda: s.shot("more-" + name).count(sheet.preview(), near(shows, 30)) > 100, PATIENCE),
                      "the preview shows no %s picture after %s" % (shows, name))
        s.x.xdotool("key", "alt+c")
        s.ends_with(0, "after Cancel")
        check(setting(s.ws, "Subfolders") == "1", "Cancel undid a choice")


CASES = {
    "sheet_more": sheet_more,
    "sheet_scaled": sheet_scaled,
    "sheet_ok": sheet_ok,
    "sheet_cancel": sheet_cancel,
    "sheet_bars": sheet_bars,
    "sheet_flash_close": sheet_flash_close,
    "sheet_switches": sheet_switches,
}


if __name__ == "__main__":
    sys.exit(program_main(CASES, tools=("Xvfb", "xwininfo")))
