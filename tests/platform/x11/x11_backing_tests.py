#!/usr/bin/python3
"""A window of glimsel keeps its pixels: what another window covered comes back as it
was, without leftovers of the other window.

    x11_backing_tests.py CASE --glimsel PATH --host PATH --out FOLDER
"""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from x11_harness import Host, check, program_main, solid  # noqa: E402
from x11_tests import Session  # noqa: E402


def uncovered_without_leftovers(args):
    with Session(args, "backing") as s:
        s.ws.picture("dot.bmp", 8, 8, solid((40, 200, 80)))
        s.ws.settings(Speed=1)  # no tick for almost ten seconds: only the paint draws
        s.start("/t")
        s.x.find_windows()
        s.host = Host(args.host, s.x.display, 200, 150)  # white, above the window at (0, 0)
        s.host.send("quit")
        corner = (0, 0, 200, 150)
        deadline = time.time() + 5
        while s.shot("uncovered").count(corner, lambda r, g, b: r == g == b == 255) > 0:
            check(time.time() < deadline, "the other window's white stays in the uncovered corner")
            time.sleep(0.05)


CASES = {"uncovered_without_leftovers": uncovered_without_leftovers}


if __name__ == "__main__":
    sys.exit(program_main(CASES))
