#!/usr/bin/python3
"""How long a key press in the settings sheet waits while its preview draws a folder of
24-megapixel JPEGs, on a virtual X server with the real program.

    bench_sheet_keys.py --glimsel PATH [--presses N] [--out FOLDER]

The speed bar stands at 100, so the preview ticks back to back and nearly every key
press lands in a tick. Each press (Left or Right, in turns) is timed from the moment
xdotool has sent it to the moment the sheet has stored the new speed; the median and
the longest are printed. Before pictures were decoded at the scale they are drawn at,
and before long decodes stopped to answer input, a press waited up to a whole tick.
"""
import argparse
import ctypes
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "platform", "x11"))
from x11_settings_tests import GTK_ENV, Sheet, setting, speed_bar, write_settings  # noqa: E402
from x11_tests import Session  # noqa: E402


def big_jpegs(folder):
    for name, size in (("landscape.jpg", "6000x4000"), ("portrait.jpg", "4000x6000")):
        small = "%dx%d" % tuple(int(v) // 4 for v in size.split("x"))
        subprocess.run(["convert", "-size", small, "plasma:fractal", "-resize", size + "!", "-attenuate", "0.3",
                        "+noise", "Gaussian", "-quality", "90", os.path.join(folder, name)], check=True)


class Keyboard:
    """Key presses sent straight through the XTEST extension: the clock starts when the
    server has them, not when a helper program has started."""

    def __init__(self, display):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XStringToKeysym.restype = ctypes.c_ulong
        self.x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
        self.x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.dpy = self.x11.XOpenDisplay(display.encode())
        if not self.dpy:
            sys.exit("cannot open display %s" % display)

    def press(self, name):
        code = self.x11.XKeysymToKeycode(self.dpy, self.x11.XStringToKeysym(name.encode()))
        self.xtst.XTestFakeKeyEvent(self.dpy, code, 1, 0)
        self.xtst.XTestFakeKeyEvent(self.dpy, code, 0, 0)
        self.x11.XSync(self.dpy, 0)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--glimsel", required=True)
    parser.add_argument("--presses", type=int, default=40)
    parser.add_argument("--out", default=tempfile.mkdtemp(prefix="glimsel-keys-"))
    args = parser.parse_args()
    s = Session(args, "keys")
    big_jpegs(s.ws.pictures)
    write_settings(s.ws, Speed=100)
    s.start(env=GTK_ENV)
    sheet = Sheet(s)
    waits = []
    with s:
        shot = s.shot_when("bar", lambda p: (speed_bar(p, sheet.pages()) or (0, 0, 0))[2] > 100)
        bar = speed_bar(shot, sheet.pages())
        # A click near the bar's right end gives it the keyboard; the speed stays high.
        s.x.xdotool("mousemove", bar[0] + bar[2] - 1, bar[1], "click", 1)
        time.sleep(2)  # the preview is drawing by now
        speed = int(setting(s.ws, "Speed"))
        keyboard = Keyboard(s.x.display)
        for i in range(args.presses):
            key, expected = ("Left", str(speed - 1)) if i % 2 == 0 else ("Right", str(speed))
            keyboard.press(key)
            sent = time.monotonic()
            while setting(s.ws, "Speed") != expected:
                if time.monotonic() - sent > 10:
                    sys.exit("the sheet never stored Speed=%s (it holds %s)" % (expected, setting(s.ws, "Speed")))
                time.sleep(0.0005)
            waits.append(1000 * (time.monotonic() - sent))
            time.sleep(0.037 * (1 + i % 3))  # lands at different points of the ticks
    waits.sort()
    print("%d key presses during preview ticks of 24-megapixel JPEGs: stored after median %.1f ms, "
          "90th %.1f ms, longest %.1f ms" % (len(waits), statistics.median(waits),
                                              waits[int(0.9 * (len(waits) - 1))], waits[-1]))


if __name__ == "__main__":
    main()
