#!/usr/bin/python3
"""glimsel under the real X screen-saver daemon and its settings program, on Xvfb.

    xscreensaver_tests.py CASE --build DIR --host PATH --out FOLDER

The daemon refuses to run as root. As root, each case runs it (and its settings
program) as the unprivileged user glimsel-host, made with useradd when missing, with
a HOME of its own, inside a private mount namespace in which a staged installation
(DESTDIR) is laid over the daemon's folders: the system's folders never change.
Without root, or where that cannot be done, the cases skip and say why.
Screenshots of every case are kept in FOLDER for a look by eye.
"""
import os
import pwd
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "platform", "x11"))
from x11_harness import Failure, Host, case_arguments, Picture, Xvfb, check, require, run_case, skip, write_bmp  # noqa: E402

USER = "glimsel-host"
HACK_DIR = "/usr/libexec/xscreensaver"
CONFIG_DIR = "/usr/share/xscreensaver/config"
COLOURS = [(230, 60, 40), (40, 200, 80), (60, 90, 230), (240, 220, 50)]


def ours(r, g, b):
    return (r, g, b) in COLOURS


def wait_for(condition, seconds, what, details=lambda: ""):
    deadline = time.time() + seconds
    while not condition():
        check(time.time() < deadline, "timed out waiting for %s\n%s" % (what, details()))
        time.sleep(0.05)


# ---- The staged installation over the daemon's folders --------------------------------

def enter_namespace(argv):
    """Runs this script again in a mount namespace of its own; returns its exit code.

    The staged folders are mounted in that namespace only, so that they vanish with
    it: its work folder is removed here, outside, where no mount reaches through it
    into the system's folders."""
    if os.geteuid() != 0:
        skip("needs root to stage the installation over the daemon's folders and to run the daemon as "
             "another user (it refuses root)")
    require("unshare", "runuser")
    probe = subprocess.run(["unshare", "--mount", "--propagation", "private", "true"], stderr=subprocess.PIPE)
    if probe.returncode != 0:
        skip("no private mount namespace here: " + probe.stderr.decode().strip())
    work = tempfile.mkdtemp(prefix="glimsel-host-")
    os.chmod(work, 0o755)
    try:
        env = dict(os.environ, GLIMSEL_HOST_WORK=work)
        return subprocess.run(["unshare", "--mount", "--propagation", "private", sys.executable] + argv,
                              env=env).returncode
    finally:
        shutil.rmtree(work, ignore_errors=True)


def overlay(folder, staged, work):
    """Lays a folder of links to `folder`'s entries plus the staged files over `folder`.
    The original stays reachable through a read-only mount."""
    original = tempfile.mkdtemp(dir=work)
    os.chmod(original, 0o755)
    subprocess.run(["mount", "--bind", folder, original], check=True)
    subprocess.run(["mount", "-o", "remount,bind,ro", original], check=True)
    subprocess.run(["mount", "-t", "tmpfs", "-o", "mode=755", "tmpfs", folder], check=True)
    for name in os.listdir(original):
        os.symlink(os.path.join(original, name), os.path.join(folder, name))
    for name in os.listdir(staged):
        target = os.path.join(folder, name)
        if os.path.lexists(target):
            os.remove(target)
        shutil.copy2(os.path.join(staged, name), target)


def unprivileged_user():
    try:
        return pwd.getpwnam(USER)
    except KeyError:
        pass
    if not shutil.which("useradd"):
        skip("no user %s and no useradd to make one" % USER)
    made = subprocess.run(["useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin", USER],
                          stderr=subprocess.PIPE)
    if made.returncode != 0:
        skip("cannot make the user %s: %s" % (USER, made.stderr.decode().strip()))
    return pwd.getpwnam(USER)


class Desk:
    """A virtual screen, the staged installation and the user's home with pictures."""

    def __init__(self, args, name):
        require("xscreensaver", "xscreensaver-command", "xscreensaver-settings", "xdotool", "import", "convert")
        self.args = args
        self.name = name
        self.user = unprivileged_user()
        self.work = os.environ["GLIMSEL_HOST_WORK"]
        stage = os.path.join(self.work, "stage")
        install = subprocess.run(["cmake", "--install", args.build, "--prefix", "/usr"],
                                 env=dict(os.environ, DESTDIR=stage), stdout=subprocess.PIPE,
                                 stderr=subprocess.STDOUT, text=True)
        check(install.returncode == 0, "staging install failed:\n" + install.stdout)
        overlay(HACK_DIR, stage + HACK_DIR, self.work)
        overlay(CONFIG_DIR, stage + CONFIG_DIR, self.work)

        self.home = os.path.join(self.work, "home")
        pictures = os.path.join(self.home, "pictures")
        os.makedirs(os.path.join(self.home, ".config", "Norvane"))
        os.makedirs(pictures)
        for i, colour in enumerate(COLOURS):
            write_bmp(os.path.join(pictures, "p%d.bmp" % i), 160, 120, lambda x, y, c=colour: c)
        with open(os.path.join(self.home, ".config", "Norvane", "glimsel.ini"), "w") as f:
            f.write("[Config]\nPath=%s\nSpeed=50\n" % pictures)
        self.x = Xvfb()
        self.procs = []

    def write_daemon_settings(self, program):
        with open(os.path.join(self.home, ".xscreensaver"), "w") as f:
            f.write("timeout: 0:30:00\ncycle: 0:00:00\nlock: False\nsplash: False\nfade: False\n"
                    "unfade: False\nmode: one\nselected: 0\ndpmsEnabled: False\ncaptureStderr: False\n"
                    "programs: %s \\n\n" % program)

    def own_home(self):
        for root, dirs, files in os.walk(self.home):
            for name in [root] + [os.path.join(root, n) for n in dirs + files]:
                os.chown(name, self.user.pw_uid, self.user.pw_gid)

    def as_user(self, *argv):
        """The command line that runs argv as the user, on this screen, with its home."""
        return ["runuser", "-u", USER, "--", "env", "HOME=" + self.home, "DISPLAY=" + self.x.display,
                "XDG_CONFIG_HOME=" + os.path.join(self.home, ".config"), "GSETTINGS_BACKEND=memory",
                "NO_AT_BRIDGE=1", "PATH=/usr/bin:/bin"] + list(argv)

    def spawn(self, log, *argv):
        out = open(os.path.join(self.args.out, "%s-%s.log" % (self.name, log)), "w")
        proc = subprocess.Popen(self.as_user(*argv), stdout=out, stderr=subprocess.STDOUT)
        self.procs.append((proc, out))
        return proc

    def log(self, log):
        with open(os.path.join(self.args.out, "%s-%s.log" % (self.name, log))) as f:
            return f.read()

    def command(self, *argv):
        return subprocess.run(self.as_user("xscreensaver-command", *argv), stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, text=True, timeout=10)

    def shot(self, label):
        return Picture(self.x.screenshot(os.path.join(self.args.out, "%s-%s.png" % (self.name, label))))

    def glimsel_pids(self):
        """The glimsel processes on this case's screen (others may run beside it)."""
        found = subprocess.run(["pgrep", "-u", USER, "-x", "glimsel"], stdout=subprocess.PIPE, text=True).stdout
        mine = []
        for pid in found.split():
            try:
                with open("/proc/%s/environ" % pid, "rb") as f:
                    environment = f.read().split(b"\0")
            except OSError:
                continue  # ended meanwhile
            # The daemon names the screen too: ":1.0" for ":1".
            if any(v.decode(errors="replace") in ("DISPLAY=" + self.x.display, "DISPLAY=" + self.x.display + ".0")
                   for v in environment):
                mine.append(int(pid))
        return mine

    def close(self):
        for proc, out in self.procs:
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
            out.close()
        self.x.stop()
        # The mounts and the work folder go with the namespace (see enter_namespace).

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


# ---- Cases ---------------------------------------------------------------------------

def daemon_runs_saver(args, entry="glimsel --root --speed 100", name="daemon"):
    # Chosen as the one saver and activated, the daemon runs glimsel once in its own
    # window, pictures appear, and deactivating ends it.
    with Desk(args, name) as d:
        d.write_daemon_settings('"Glimsel" ' + entry)
        d.own_home()
        d.spawn("daemon", "xscreensaver", "--no-splash", "--verbose")
        wait_for(lambda: d.command("-time").returncode == 0, 15, "the daemon to answer")
        check(d.command("-select", "1").returncode == 0, "-select 1 was refused")
        wait_for(lambda: d.glimsel_pids(), 10, "glimsel to start", lambda: d.log("daemon"))
        first = d.glimsel_pids()
        wait_for(lambda: d.shot("saver").count((0, 0, 1024, 768), ours) > 1024 * 768 // 4, 15,
                 "pictures to cover a quarter of the screen")
        # For two seconds more the same process: the daemon does not restart it over
        # and over (a saver that ended at once was restarted about 30 times a second).
        until = time.time() + 2
        while time.time() < until:
            check(d.glimsel_pids() == first, "glimsel restarted: %s then %s" % (first, d.glimsel_pids()))
            time.sleep(0.05)
        launches = d.log("daemon").count('forked "glimsel')
        check(launches == 1, "the daemon started glimsel %d times:\n%s" % (launches, d.log("daemon")))
        # In the daemon's window it needs no grab of its own (the daemon holds them).
        check("could not grab" not in d.log("daemon"), "glimsel opened a window of its own")
        check(d.command("-deactivate").returncode == 0, "-deactivate was refused")
        wait_for(lambda: not d.glimsel_pids(), 10, "glimsel to end after -deactivate")


def daemon_runs_classic_switch(args):
    # An entry written with the saver switch draws in the daemon's window too, below
    # the daemon's own dialogs.
    daemon_runs_saver(args, "glimsel /s --speed 100", "daemon-s")


def settings_preview(args):
    # The daemon's settings program lists glimsel, previews it in its small pane (never
    # over the whole screen), and builds its settings dialog from glimsel.xml.
    with Desk(args, "settings") as d:
        d.write_daemon_settings('"Glimsel" glimsel --root')
        d.own_home()
        d.spawn("daemon", "xscreensaver", "--no-splash")
        wait_for(lambda: d.command("-time").returncode == 0, 15, "the daemon to answer")
        settings = d.spawn("settings", "xscreensaver-settings", "--debug")
        wait_for(lambda: d.glimsel_pids(), 20, "the preview to start", lambda: d.log("settings"))
        shot = None

        def pane_drawn():
            nonlocal shot
            shot = d.shot("preview")
            return shot.count((0, 0, 1024, 768), ours) > 2000
        wait_for(pane_drawn, 15, "pictures in the preview pane")
        box = shot.bounding_box((0, 0, 1024, 768), ours)
        width, height = box[2] - box[0], box[3] - box[1]
        check(width < 600 and height < 500, "the preview covers %dx%d of the screen" % (width, height))
        check(settings.poll() is None, "the settings program ended:\n" + d.log("settings"))
        with open("/proc/%d/cmdline" % d.glimsel_pids()[0], "rb") as f:
            argv = f.read().split(b"\0")
        # It keeps the entry's --root and adds its pane: the pane wins.
        check(b"--window-id" in argv, "the preview ran as %s" % argv)
        # Its own dialog for glimsel, built from glimsel.xml: the "Settings..." button
        # (no mnemonic; its place in the window under this screen's fonts).
        window = d.x.run("xdotool", "search", "--onlyvisible", "--name", "XScreenSaver").stdout.split()
        check(window, "no settings window")
        before = set(d.x.run("xdotool", "search", "--onlyvisible", "--name", ".").stdout.split())
        geometry = dict(line.split("=", 1) for line in
                        d.x.xdotool("getwindowgeometry", "--shell", window[0]).split())
        d.x.xdotool("mousemove", int(geometry["X"]) + 813, int(geometry["Y"]) + 540, "click", 1)
        found = []

        def dialog():
            # The main window takes the same title meanwhile.
            named = d.x.run("xdotool", "search", "--onlyvisible", "--name", "Glimsel Settings").stdout.split()
            found[:] = [w for w in named if w not in before]
            return found
        wait_for(dialog, 10, "the settings dialog for Glimsel")
        # Without a window manager it opens beside the main window, off the screen.
        d.x.xdotool("windowmove", "--sync", found[0], 1024 - 430, 0)
        wait_for(lambda: "Position: %d,0" % (1024 - 430) in d.x.xdotool("getwindowgeometry", found[0]), 5,
                 "the dialog to move")
        d.shot("dialog")
        # The speed slider's fast end, then Save: the entry now passes the speed.
        left = 1024 - 430
        d.x.xdotool("mousemove", left + 240, 82, "click", 1)
        d.x.xdotool("mousemove", left + 363, 667, "click", 1)
        entry = []

        def saved():
            with open(os.path.join(d.home, ".xscreensaver")) as f:
                entry[:] = [line for line in f if "glimsel --" in line]
            return entry and "--speed" in entry[0]
        wait_for(saved, 10, "the dialog's speed in ~/.xscreensaver")
        check("--root" in entry[0], "the entry lost --root: %s" % entry)
        complaints = [line for line in d.log("settings").splitlines()
                      if "glimsel" in line.lower() and ("WARNING" in line or "not a valid" in line)]
        check(not complaints, "the settings program complained: %s" % complaints)


def preview_window_id(args):
    # Started as the settings program starts it: inside the small window only.
    with Desk(args, "window-id") as d:
        d.own_home()
        host = Host(args.host, d.x.display, 200, 150)
        try:
            proc = d.spawn("glimsel", HACK_DIR + "/glimsel", "--root", "--speed", "100", "--window-id",
                           hex(host.window))
            wait_for(lambda: d.shot("pane").count((0, 0, 200, 150), ours) > 200 * 150 // 4, 15,
                     "pictures in the 200x150 window")
            shot = d.shot("pane-after")
            check(shot.count((0, 0, 1024, 768), lambda r, g, b: (r, g, b) != (0, 0, 0) and not (r == g == b))
                  == shot.count((0, 0, 200, 150), lambda r, g, b: (r, g, b) != (0, 0, 0) and not (r == g == b)),
                  "pictures outside the window")
            host.kill()
            check(proc.wait(5) == 0, "the preview did not end with its window")
        finally:
            host.kill()


CASES = {
    "daemon_runs_saver": daemon_runs_saver,
    "daemon_runs_classic_switch": daemon_runs_classic_switch,
    "settings_preview": settings_preview,
    "preview_window_id": preview_window_id,
}


def main():
    args = case_arguments(CASES, program="--build")
    require("Xvfb")
    if not os.environ.get("GLIMSEL_HOST_WORK"):
        return enter_namespace(sys.argv)
    try:
        return run_case(CASES[args.case], args)
    except Failure as e:
        print("FAIL: %s" % e)
        return 1


if __name__ == "__main__":
    sys.exit(main())
