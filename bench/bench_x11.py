#!/usr/bin/python3
"""The Linux program's benchmarks, on a 1920x1080 virtual X server (Xvfb).

- Processor use of glimsel in its test window at speed 50 for 10 s (one picture a
  second: the time between ticks must cost nothing), and with the flash effect
  (flashSleep 50, speed 100) for 10 s (the flash waits must sleep, not spin). Read from
  /proc/<pid>/stat; the server's own work is not counted.
- bench_x11_draw: what drawing a 1920x1080 JPEG on the screen adds to decoding it.
- bench_long_run: memory over 10,000 pictures (headless).
"""
import argparse
import contextlib
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "platform", "x11"))
from x11_harness import Program, Workspace, Xvfb  # noqa: E402

TICKS = os.sysconf("SC_CLK_TCK")


def processor_seconds(pid):
    fields = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def processor_use(glimsel, x, ws, seconds, **settings):
    ws.settings(**settings)
    program = Program(glimsel, ["/t"], ws.env(x.display), os.path.join(ws.root, "log"))
    try:
        time.sleep(1)  # start-up and the first pictures
        c0, t0 = processor_seconds(program.proc.pid), time.time()
        time.sleep(seconds)
        c1, t1 = processor_seconds(program.proc.pid), time.time()
    finally:
        program.stop()
    return 100 * (c1 - c0) / (t1 - t0)


@contextlib.contextmanager
def bench_screen(name):
    """A 1920 by 1080 virtual screen and a workspace with the six 640 by 480 pictures that
    every processor-use run draws; both go when the block ends."""
    ws = Workspace(name)
    x = Xvfb(1920, 1080)
    try:
        for i in range(6):
            ws.picture("p%d.bmp" % i, 640, 480, lambda px, py, i=i: ((40 * i) % 256, px % 256, py % 256))
        yield ws, x
    finally:
        x.stop()
        ws.cleanup()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--glimsel", required=True)
    parser.add_argument("--draw", required=True)
    parser.add_argument("--long-run", required=True)
    parser.add_argument("--seconds", type=float, default=10)
    args = parser.parse_args()

    with bench_screen("bench") as (ws, x):
        idle = processor_use(args.glimsel, x, ws, args.seconds, Speed=50)
        print("glimsel /t at speed 50 for %g s: %.2f %% of one core" % (args.seconds, idle))
        flash = processor_use(args.glimsel, x, ws, args.seconds, Speed=100, flashSleep=50)
        print("glimsel /t with flashes (flashSleep 50, speed 100) for %g s: %.2f %% of one core"
              % (args.seconds, flash))
        env = dict(os.environ, DISPLAY=x.display)
        subprocess.run([args.draw], env=env, check=True)
    subprocess.run([args.long_run], check=True)


if __name__ == "__main__":
    main()
