#!/usr/bin/python3
"""glimsel on a virtual X server: the saver, the test window and the preview.

    x11_tests.py CASE --glimsel PATH --host PATH --out FOLDER

Screenshots of every case are kept in FOLDER for a look by eye.
"""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from x11_harness import (Host, Picture, Program, Workspace, Xvfb, check, program_main, require,  # noqa: E402
                         skip, solid, wait_until)

# How long a test waits for something it expects to happen. Generous: the waits end as
# soon as it happens, and a loaded machine may be slow.
PATIENCE = 20

COLOURS = [(230, 60, 40), (40, 200, 80), (60, 90, 230), (240, 220, 50), (200, 60, 220), (50, 220, 220)]


def some_pictures(ws, width=120, height=90):
    for i, colour in enumerate(COLOURS):
        # A frame of another colour shows the picture's edges in the screenshots.
        frame = COLOURS[(i + 3) % len(COLOURS)]
        ws.picture("p%d.bmp" % i, width, height,
                   lambda x, y, c=colour, f=frame: f if x < 4 or y < 4 or x >= width - 4 or y >= height - 4 else c)


class Session:
    """A server, a workspace and the program under test, torn down together."""

    def __init__(self, args, name, xvfb=()):
        require("xdotool", "import", "convert")
        self.args = args
        self.name = name
        self.ws = Workspace(name)
        self.x = Xvfb(extra=xvfb)
        self.program = None
        self.host = None

    def start(self, *argv, env=None):
        environment = self.ws.env(self.x.display)
        environment.update(env or {})
        self.program = Program(self.args.glimsel, argv, environment,
                               os.path.join(self.args.out, self.name + ".log"))
        return self.program

    def shot(self, label):
        return Picture(self.x.screenshot(os.path.join(self.args.out, "%s-%s.png" % (self.name, label))))

    def shot_when(self, label, ready, timeout=PATIENCE):
        """Screenshots until `ready(shot)` holds and returns that one, or the last one
        taken when it never does (the caller's checks then say what is wrong)."""
        deadline = time.time() + timeout
        while True:
            shot = self.shot(label)
            if ready(shot) or time.time() > deadline:
                return shot
            time.sleep(0.1)

    def still_running(self, seconds, why):
        code = self.program.wait(seconds)
        check(code is None, "ended with %s %s\n%s" % (code, why, self.program.output()))

    def ends_with(self, expected, why, seconds=PATIENCE):
        code = self.program.wait(seconds)
        check(code is not None, "still running %s" % why)
        check(code == expected, "exit code %s instead of %s %s\n%s" % (code, expected, why, self.program.output()))

    def close(self):
        if self.program:
            self.program.stop()
        if self.host:
            self.host.kill()
        self.x.stop()
        self.ws.cleanup()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


def test_mode(args):
    with Session(args, "test-mode") as s:
        some_pictures(s.ws)
        s.ws.settings(Speed=100)
        s.start("/t")
        window = s.x.find_windows()[0]
        geometry = s.x.xdotool("getwindowgeometry", window)
        check("800x600" in geometry, "test window is not 800x600: " + geometry)
        check("Glimsel" in s.x.xdotool("getwindowname", window), "test window has no title")
        shot = s.shot_when("pictures", lambda p: p.non_black((0, 0, 800, 600)) > 800 * 600 // 4)
        covered = shot.non_black((0, 0, 800, 600))
        check(covered > 800 * 600 // 4, "only %d pixels of the window show pictures" % covered)
        check(shot.non_black((800, 0, 1024, 768)) == 0, "drawing outside the window")
        # Keys, moves, the other buttons and the window manager's close leave it running.
        s.x.xdotool("mousemove", 400, 300)
        s.x.xdotool("key", "a", "Escape", "alt+x")
        s.x.xdotool("mousemove", 420, 330)
        s.x.xdotool("click", 3)
        s.x.xdotool("click", 2)
        s.host = Host(args.host, s.x.display, 10, 10)
        s.host.send("delete %d" % window)
        check(s.host.read_line() == "sent", "close request not sent")
        s.still_running(1.0, "on keys, moves, right and middle clicks or the close request")
        s.x.xdotool("mousemove", 400, 300, "click", 1)
        s.ends_with(0, "after a left click")


def empty_folder(args):
    with Session(args, "empty-folder") as s:
        s.ws.settings(Speed=90)
        s.start("/t")
        s.x.find_windows()
        # "Can't display: No images in system": black text on white boxes.
        is_white = lambda r, g, b: r == g == b == 255  # noqa: E731
        shot = s.shot_when("text", lambda p: p.count((0, 0, 800, 600), is_white) > 500)
        white = shot.count((0, 0, 800, 600), lambda r, g, b: r == g == b == 255)
        check(white > 500, "no text boxes on the screen (%d white pixels)" % white)
        s.x.xdotool("mousemove", 400, 300, "click", 1)
        s.ends_with(0, "after a left click")


def expose_paint(args):
    # A paint request draws one new picture, clipped to what was uncovered.
    # The root is white, and so is the test window until its first paint makes it black.
    with Session(args, "expose", xvfb=("-wr",)) as s:
        colour = (30, 160, 240)
        s.ws.picture("full.bmp", 800, 600, solid(colour))  # as large as the window: drawn at (0, 0)
        s.ws.settings(Speed=1)  # no tick for almost ten seconds
        s.start("/t")
        s.x.find_windows()
        window = (0, 0, 800, 600)
        s.shot_when("black", lambda p: p.non_black(window) == 0)
        s.host = Host(args.host, s.x.display, 200, 150)  # above the test window, at (0, 0)
        s.host.send("quit")
        wait_until(lambda: s.host.proc.poll() is not None, PATIENCE, "the host to end")
        is_picture = lambda r, g, b: (r, g, b) == colour  # noqa: E731
        shot = s.shot_when("uncovered", lambda p: p.count(window, is_picture) >= 200 * 150)
        blue = shot.count(window, is_picture)
        box = shot.bounding_box(window, lambda r, g, b: (r, g, b) != (0, 0, 0))
        check(box == [0, 0, 200, 150] and blue == 200 * 150,
              "the uncovered 200x150 corner was not repainted alone (box %s, %d picture pixels)" % (box, blue))


def bundled_pictures(args):
    database = os.path.join(os.path.dirname(args.glimsel), "Glimsel.idb")
    if not os.path.exists(database):
        skip("no Glimsel.idb beside the program")
    with Session(args, "bundled") as s:
        s.ws.settings(Path=None, Speed=100)  # no folder chosen: the bundled database
        s.start("/t")
        s.x.find_windows()
        shot = s.shot_when("pictures", lambda p: p.non_black((0, 0, 800, 600)) > 800 * 600 // 3)
        covered = shot.non_black((0, 0, 800, 600))
        check(covered > 800 * 600 // 3, "only %d pixels show bundled pictures" % covered)
        s.x.xdotool("mousemove", 400, 300, "click", 1)
        s.ends_with(0, "after a left click")


def saver_key(args):
    with Session(args, "saver-key") as s:
        some_pictures(s.ws)
        s.ws.settings(Speed=100)
        s.start("/s")
        s.x.find_windows()
        # Its own mapping and grabs must not count as losing the focus.
        s.still_running(1.5, "by itself after it started")
        shot = s.shot_when("full-screen", lambda p: p.non_black((0, 0, 1024, 768)) > 1024 * 768 // 4 and
                           p.non_black((900, 650, 1024, 768)) > 0)
        check(shot.non_black((0, 0, 1024, 768)) > 1024 * 768 // 4, "the saver shows few pictures")
        check(shot.non_black((900, 650, 1024, 768)) > 0, "the saver does not reach the bottom right")
        s.x.xdotool("key", "space")
        s.ends_with(0, "after a key")


def saver_mouse(args):
    # Where the pointer is when the saver appears only records; one jump of a single
    # pixel ends the run (a tablet, a remote desktop).
    with Session(args, "saver-mouse") as s:
        some_pictures(s.ws)
        s.ws.settings(Speed=100)
        s.x.xdotool("mousemove", 10, 10)
        s.start("/s")
        s.x.find_windows()
        # A picture on the screen: the saver has handled its appearing by now.
        shot = s.shot_when("first-picture", lambda p: p.non_black((0, 0, 1024, 768)) > 0)
        check(shot.non_black((0, 0, 1024, 768)) > 0, "no picture appeared")
        s.still_running(0.5, "without the pointer moving")
        s.x.xdotool("mousemove", 11, 10)
        s.ends_with(0, "when the pointer jumped one pixel")


def saver_focus(args):
    with Session(args, "saver-focus") as s:
        some_pictures(s.ws)
        s.ws.settings(Speed=50)
        s.host = Host(args.host, s.x.display, 100, 100)
        s.start("/s")
        saver = s.x.find_windows()[0]
        wait_until(lambda: s.x.run("xdotool", "getwindowfocus").stdout.strip() == str(saver), PATIENCE,
                   "the saver to take the focus")
        s.still_running(1.0, "by itself after it started")
        s.x.xdotool("windowfocus", s.host.window)
        s.ends_with(0, "when another window took the focus")


def saver_grab_retry(args):
    # Another program holds the keyboard for a moment when the saver starts.
    with Session(args, "saver-grab") as s:
        some_pictures(s.ws)
        s.ws.settings(Speed=50)
        s.host = Host(args.host, s.x.display, 100, 100)
        s.host.send("grab")
        check(s.host.read_line() == "grabbed", "the host could not grab the keyboard")
        s.start("/s")
        s.x.find_windows()
        s.host.send("ungrab")
        check(s.host.read_line() == "ungrabbed", "the host did not release the keyboard")
        s.still_running(1.0, "after the other program released the keyboard")
        s.x.xdotool("key", "space")
        s.ends_with(0, "after a key, with the keyboard grabbed on a later try")
        check("could not grab" not in s.program.output(), "the grab was given up: " + s.program.output())


def flash_exit(args):
    with Session(args, "flash") as s:
        some_pictures(s.ws, 300, 200)
        s.ws.settings(Speed=100, flashSleep=100)
        s.start("/s")
        s.x.find_windows()
        shot = s.shot_when("growing", lambda p: p.non_black((0, 0, 1024, 768)) > 0)
        check(shot.non_black((0, 0, 1024, 768)) > 0, "nothing drawn in the flash")
        s.x.xdotool("click", 1)
        s.ends_with(88, "after a click during a flash")


def preview(args):
    # Without MIT-SHM, so that the plain XPutImage path is used too.
    with Session(args, "preview", xvfb=("-extension", "MIT-SHM")) as s:
        orange = (250, 170, 20)
        s.ws.picture("big.bmp", 400, 300, solid(orange))
        # A tick every 5.5 s: the first picture stays alone on the screen long enough
        # for a screenshot on a busy machine.
        s.ws.settings(Speed=25)
        s.host = Host(args.host, s.x.display, 152, 112)
        s.start("/p", str(s.host.window))
        area = (0, 0, 152, 112)
        is_orange = lambda r, g, b: (r, g, b) == orange  # noqa: E731
        shot = s.shot_when("first-picture", lambda p: p.bounding_box(area, is_orange) is not None)
        box = shot.bounding_box(area, is_orange)
        check(box is not None, "no picture in the preview")
        width, height = box[2] - box[0], box[3] - box[1]
        # 152 x 112 of 1024 x 768 is 14 %: a 400 x 300 picture shows as 56 x 42.
        check((width, height) == (56, 42), "picture drawn %dx%d, not 56x42" % (width, height))
        check(shot.count(area, lambda r, g, b: r == g == b == 255) == 0, "the host's white shows through")
        children = s.host.children()
        check(len(children) == 1 and children[0][1:] == (152, 112, "viewable"), "preview child: %s" % children)
        s.host.send("resize 304 224")
        check(s.host.read_line() == "resized", "host did not resize")
        children = wait_until(lambda: [c for c in s.host.children() if c[1:3] == (304, 224)], PATIENCE,
                              "the preview to follow its parent")
        check(children[0][1:3] == (304, 224), "the preview did not follow its parent: %s" % children)
        s.host.kill()
        s.ends_with(0, "after its parent's destruction")


def daemon_window(args):
    # A screen-saver daemon names the window in the environment and gives no argument.
    with Session(args, "daemon") as s:
        some_pictures(s.ws)
        s.ws.settings(Speed=100)
        s.host = Host(args.host, s.x.display, 320, 240)
        s.start(env={"XSCREENSAVER_WINDOW": hex(s.host.window)})
        wait_until(s.host.children, PATIENCE, "a preview child in the daemon's window")
        check(len(s.host.children()) == 1, "no preview child in the daemon's window")
        is_picture = lambda r, g, b: (r, g, b) not in ((0, 0, 0), (255, 255, 255))  # noqa: E731
        shot = s.shot_when("daemon", lambda p: p.count((0, 0, 320, 240), is_picture) > 320 * 240 // 10)
        pictures = shot.count((0, 0, 320, 240), is_picture)
        check(pictures > 320 * 240 // 10, "the daemon's window shows few pictures")
        s.host.send("quit")
        s.ends_with(0, "after its window's destruction")


def no_display(args):
    ws = Workspace("no-display")
    try:
        env = ws.env("")
        del env["DISPLAY"]
        import subprocess
        # A switch that names no mode opens nothing and needs no display.
        for argv, code, text in ((["/s"], 1, "glimsel: cannot open display"),
                                 (["/t"], 1, "glimsel: cannot open display"),
                                 (["/p", "4711"], 1, "glimsel: cannot open display"),
                                 (["/x"], 0, ""), (["--help"], 0, ""), (["-version"], 0, ""),
                                 (["--root", "--speed", "0"], 1,
                                  'glimsel: --speed wants a number from 1 to 100, not "0"'),
                                 (["/C:4711"], 0, "")):
            r = subprocess.run([args.glimsel] + argv, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                               text=True, timeout=20)
            check(r.returncode == code, "%s: exit code %d, not %d" % (argv, r.returncode, code))
            check(r.stderr.strip() == text, "%s: said %r" % (argv, r.stderr))
    finally:
        ws.cleanup()


CASES = {
    "test_mode": test_mode,
    "empty_folder": empty_folder,
    "expose_paint": expose_paint,
    "bundled_pictures": bundled_pictures,
    "saver_key": saver_key,
    "saver_mouse": saver_mouse,
    "saver_focus": saver_focus,
    "saver_grab_retry": saver_grab_retry,
    "flash_exit": flash_exit,
    "preview": preview,
    "daemon_window": daemon_window,
    "no_display": no_display,
}


if __name__ == "__main__":
    sys.exit(program_main(CASES, without_display=("no_display",)))
