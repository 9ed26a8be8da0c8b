#!/usr/bin/python3
"""Glimsel.scr under Wine beside the Linux program, on the same pictures and the same
1920x1080 virtual X server: processor use in the test window at speed 50 (one picture a
second: the time between ticks must cost nothing) and with the flash effect (flashSleep
50, speed 100: the flash waits must sleep, not spin), each for --seconds. The program's
own process is measured; the X server and, under Wine, the wineserver are shown apart.

    bench/bench_wine.py --glimsel build/glimsel --scr build-win/Glimsel.scr
"""
import argparse
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "platform", "x11"))
from x11_harness import Program  # noqa: E402
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bench_x11 import bench_screen  # noqa: E402

TICKS = os.sysconf("SC_CLK_TCK")
CASES = [("between ticks (speed 50)", dict(Speed=50)),
         ("during flashes (flashSleep 50, speed 100)", dict(Speed=100, flashSleep=50))]


def processor_seconds(pid):
    fields = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def wineserver_pid():
    out = subprocess.run(["pgrep", "-n", "wineserver"], stdout=subprocess.PIPE, text=True).stdout.split()
    return int(out[0]) if out else None


def measure(pids, seconds):
    time.sleep(2)  # start-up and the first pictures
    c0 = [processor_seconds(p) for p in pids]
    t0 = time.time()
    time.sleep(seconds)
    c1 = [processor_seconds(p) for p in pids]
    elapsed = time.time() - t0
    return [100 * (b - a) / elapsed for a, b in zip(c0, c1)]


def linux_runs(glimsel, x, ws, seconds):
    for label, settings in CASES:
        ws.settings(**settings)
        program = Program(glimsel, ["/t"], ws.env(x.display), os.path.join(ws.root, "log"))
        try:
            (own,) = measure([program.proc.pid], seconds)
        finally:
            program.stop()
        print("Linux glimsel /t %s: %.2f %% of one core" % (label, own))


def wine_runs(scr, x, ws, seconds):
    env = dict(os.environ, DISPLAY=x.display, WINEPREFIX=os.path.join(ws.root, "prefix"), WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree=;mshtml=")
    subprocess.run(["wineboot", "-i"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    subprocess.Popen(["wineserver", "-p"], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                     stderr=subprocess.DEVNULL).wait()
    pictures = "Z:" + ws.pictures.replace("/", "\\")
    try:
        for label, settings in CASES:
            reg = os.path.join(ws.root, "settings.reg")
            lines = ["REGEDIT4", "", r"[HKEY_CURRENT_USER\Software\Norvane\Glimsel\Config]",
                     '"Path"="%s"' % pictures.replace("\\", "\\\\")]
            lines += ['"%s"=dword:%08x' % (k, v) for k, v in settings.items()]
            lines += ['"flashSleep"=dword:ffffffff'] if "flashSleep" not in settings else []
            with open(reg, "w") as f:
                f.write("\r\n".join(lines) + "\r\n")
            subprocess.run(["wine", "regedit", "/S", "Z:" + reg.replace("/", "\\")], env=env, check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            proc = subprocess.Popen(["wine", scr, "/t"], env=env, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
            try:
                time.sleep(3)  # Wine's start-up
                own, server = measure([proc.pid, wineserver_pid()], seconds)
            finally:
                proc.kill()
                proc.wait()
            print("Glimsel.scr /t under Wine %s: %.2f %% of one core (wineserver %.2f %%)" % (label, own, server))
    finally:
        subprocess.run(["wineserver", "-k"], env=env)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--glimsel", required=True)
    parser.add_argument("--scr", required=True)
    parser.add_argument("--seconds", type=float, default=10)
    args = parser.parse_args()
    with bench_screen("bench-wine") as (ws, x):
        linux_runs(os.path.abspath(args.glimsel), x, ws, args.seconds)
        wine_runs(os.path.abspath(args.scr), x, ws, args.seconds)

if __name__ == "__main__":
    main()
