"""The settings sheet of Glimsel.scr in real windows under Wine, on the virtual X server
of the Windows test stage (scripts/test-windows.sh provides DISPLAY, WINEPREFIX and a
running wineserver).

    wine_settings_tests.py <case> --build <build-win folder> --out <screenshot folder>

The sheet's windows are asked of Windows itself (win32_sheet_probe); the page's rules
are the application's tests' business, these cases check what the Windows view adds:
the sheet, its owner, the preview, OK against Cancel, the scroll bar's messages, and
the templates' layout.
"""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_window_tests  # noqa: E402
from wine_window_tests import KEY, RED, is_colour, wait_file  # noqa: E402
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "x11"))
from x11_harness import Failure, check, solid, write_bmp  # noqa: E402

PICTURE = (64, 48)
BS_TYPEMASK, BS_GROUPBOX, SS_TYPEMASK, SS_ICON, SS_ELLIPSISMASK = 0xF, 0x7, 0x1F, 0x3, 0xC000
OK_BUTTON = 1
SPEED_BAR = 1002
FLASH_BAR = 1003
VERSION_TEXT = 1013
FIRST_CHOICE = 1030  # the "More" page's first check box


class Sheet:
    """What the probe saw: the sheet's rectangle and owner, and its windows."""

    def __init__(self, text):
        lines = text.split("\n")
        head = lines[0].split()
        self.owner, self.owner_enabled = int(head[1]), head[2] == "1"
        self.rect = tuple(int(v) for v in head[3:7])
        self.windows = []
        for line in lines[1:]:
            f = line.split()
            if len(f) == 10:
                self.windows.append({"on_page": f[0] == "1", "id": int(f[1]), "class": f[2], "style": int(f[3]),
                                     "visible": f[4] == "1", "rect": tuple(int(v) for v in f[5:9]),
                                     "text": int(f[9])})

    def find(self, id=None, cls=None):
        found = [w for w in self.windows if (id is None or w["id"] == id) and (cls is None or w["class"] == cls)]
        check(found, "the sheet has no window %s %s" % (id or "", cls or ""))
        return found[0]

    def centre(self, id):
        l, t, r, b = self.find(id=id)["rect"]
        return (l + r) // 2, (t + b) // 2


def probe(s, proc, ready=lambda sheet: True, timeout=40):
    """The sheet once it shows a page and `ready` holds."""
    out = os.path.join(s.root, "sheet")
    deadline = time.time() + timeout
    while time.time() < deadline:
        check(proc.poll() is None, "the program ended early with %s" % proc.returncode)
        if s.wine(os.path.join(s.build, "tests", "platform", "win32_sheet_probe.exe"),
                  s.windows_path(out)).returncode == 0:
            with open(out) as f:
                sheet = Sheet(f.read())
            if any(w["visible"] and w["on_page"] for w in sheet.windows) and ready(sheet):
                return sheet
        time.sleep(0.3)
    raise Failure("no sheet titled Glimsel appeared, or it did not become as expected")


def preview_of(sheet):
    preview = sheet.find(cls="GlimselDrawWnd")
    check(preview["visible"], "the preview is hidden")
    l, t, r, b = preview["rect"]
    check(r - l == 370 and l > sheet.find(cls="SysTabControl32")["rect"][2] and r <= sheet.rect[2],
          "the preview %s is not a 370 pixel strip right of the pages" % (preview["rect"],))
    return preview["rect"]


def red_in(s, rect, label):
    return s.screenshot(label).count(rect, is_colour(RED))


def check_layout(sheet, page):
    """The visible page's controls lie inside it, overlap only their group boxes, and fit their texts."""
    pages = [w for w in sheet.windows if w["class"] == "#32770" and w["visible"]]
    check(len(pages) == 1, "%d pages are visible" % len(pages))
    pl, pt, pr, pb = pages[0]["rect"]
    controls = [w for w in sheet.windows if w["on_page"] and w["visible"]]
    check(controls, "the %s page shows no controls" % page)
    solid_ones = []
    for c in controls:
        l, t, r, b = c["rect"]
        check(pl <= l and pt <= t and r <= pr and b <= pb, "%s page: control %d %s leaves the page" % (page, c["id"], c["rect"]))
        group = c["class"] == "Button" and c["style"] & BS_TYPEMASK == BS_GROUPBOX
        # Icons have no text to fit, edit fields scroll, and a path shortens itself.
        shrinks = c["class"] == "Edit" or c["class"] == "Static" and (
            c["style"] & SS_TYPEMASK == SS_ICON or c["style"] & SS_ELLIPSISMASK)
        room = (r - l) - (20 if c["class"] == "Button" and not group else 0)
        check(shrinks or c["text"] <= room,
              "%s page: the text of control %d is %d pixels wide in %d" % (page, c["id"], c["text"], r - l))
        if not group:
            solid_ones.append(c)
    for i, a in enumerate(solid_ones):
        for b in solid_ones[i + 1:]:
            (al, at, ar, ab), (bl, bt, br, bb) = a["rect"], b["rect"]
            check(ar <= bl or br <= al or ab <= bt or bb <= at,
                  "%s page: controls %d and %d overlap" % (page, a["id"], b["id"]))


def focus(s, sheet):
    """A click on the page's empty bottom edge gives the sheet the keyboard."""
    l, t, r, b = next(w for w in sheet.windows if w["class"] == "#32770" and w["visible"])["rect"]
    s.xdotool("mousemove", r - 4, b - 3, "click", 1)
    time.sleep(0.3)


def active_page(s):
    result = s.wine("reg", "query", KEY, "/v", "ActivePage")
    if result.returncode != 0:
        return None
    return int(result.stdout.split("0x")[1].split()[0], 16)


def stored(s, name, expected, timeout=10):
    """The stored value once it is `expected`, or the last one read."""
    deadline = time.time() + timeout
    while True:
        result = s.wine("reg", "query", KEY + "\\Config", "/v", name)
        value = int(result.stdout.split("0x")[1].split()[0], 16) if result.returncode == 0 else None
        if value == expected or time.time() > deadline:
            return value
        time.sleep(0.2)


def ends(s, proc, how):
    check(s.wait_exit(proc, 15, how) == 0, "the exit code after %s is not 0" % how)


# ---- The cases ---------------------------------------------------------------------

def case_sheet_opens(s):
    """No argument, /c and /c:<HWND> open the sheet with a drawing preview; Escape and the close box cancel."""
    write_bmp(os.path.join(s.pictures, "red.bmp"), PICTURE[0], PICTURE[1], solid(RED))
    host = s.start(os.path.join("tests", "platform", "win32_host.exe"), "pane", s.windows_path(s.root), "64", "48")
    hwnd = int(wait_file(os.path.join(s.root, "hwnd"), host))
    # The close box sends the system's close command, as Alt+F4 does. With flashes of
    # 0.9 s back to back, Escape comes while the preview waits inside a flash.
    for args, close, label, flash in (([], "Escape", "none", -1), (["/c"], "alt+F4", "c", 0),
                                      (["/c:%d" % hwnd], "Escape", "owned", 30)):
        s.settings(Speed=100, flashSleep=flash)
        proc = s.saver(*args)
        sheet = probe(s, proc)
        check(sheet.owner == (hwnd if label == "owned" else 0), "%s: the sheet's owner is %d" % (args, sheet.owner))
        check(not sheet.owner_enabled, "%s: the owner stays enabled under the modal sheet" % args)
        check(sheet.find(id=FLASH_BAR)["visible"] == (flash >= 0), "%s: the flash speed bar is not as flash is" % args)
        rect = preview_of(sheet)
        time.sleep(1.5)
        check(red_in(s, rect, "options-" + label) >= PICTURE[0] * PICTURE[1] // 10,
              "%s: the preview draws no pictures" % args)
        check_layout(sheet, "options")
        focus(s, sheet)
        s.xdotool("key", close)
        ends(s, proc, "%s in %s" % (close, args))
        check(active_page(s) is None, "%s wrote ActivePage" % close)
    with open(os.path.join(s.root, "destroy"), "w"):
        pass
    s.wait_exit(host, 15, "destroying the host")


def case_sheet_ok(s):
    """OK on the about page stores 1; the about page's layout holds."""
    s.settings()
    proc = s.saver("/c")
    sheet = probe(s, proc)
    l, t, r, b = sheet.find(cls="SysTabControl32")["rect"]
    s.xdotool("mousemove", l + 12, t + 8, "click", 1)  # the first tab, which takes the focus
    s.xdotool("key", "Right")
    sheet = probe(s, proc, lambda sheet: any(w["id"] == VERSION_TEXT and w["on_page"] for w in sheet.windows), 15)
    check_layout(sheet, "about")
    s.screenshot("about")
    x, y = sheet.centre(OK_BUTTON)
    s.xdotool("mousemove", x, y, "click", 1)
    ends(s, proc, "OK")
    check(active_page(s) == 1, "OK on the about page stored ActivePage %s" % active_page(s))


def case_speed_bar(s):
    """The speed bar stores "Speed" at once and the preview follows it."""
    write_bmp(os.path.join(s.pictures, "red.bmp"), PICTURE[0], PICTURE[1], solid(RED))
    s.settings(Speed=1)  # a picture every 9.8 s
    proc = s.saver("/c")
    sheet = probe(s, proc)
    rect = preview_of(sheet)
    time.sleep(2)
    slow = red_in(s, rect, "slow")
    l, t, r, b = sheet.find(id=SPEED_BAR)["rect"]
    s.xdotool("mousemove", r - 4, (t + b) // 2, "click", 1)  # the right arrow: one line right
    speed = stored(s, "Speed", 2)
    check(speed == 2, "the right arrow stored Speed %s, not 2" % speed)
    s.xdotool("key", "End")  # the bar has the focus: to the right end
    speed = stored(s, "Speed", 100)
    check(speed == 100, "End stored Speed %s, not 100" % speed)
    time.sleep(2)
    fast = red_in(s, rect, "fast")
    area = PICTURE[0] * PICTURE[1] * 36 * 36 // 10000  # the preview draws at 36 %
    check(slow <= 2 * area and fast >= 8 * area,
          "the preview drew %d picture pixels at speed 1, %d at 100 (one picture %d)" % (slow, fast, area))
    s.xdotool("key", "Escape")
    ends(s, proc, "Escape")



def case_more_page(s):
    """The third page's check boxes store their folder choice at once; its layout holds."""
    s.settings()
    s.wine("reg", "add", KEY, "/v", "ActivePage", "/t", "REG_DWORD", "/d", "2", "/f")  # opens on it
    proc = s.saver("/c")
    sheet = probe(s, proc, lambda sheet: any(w["id"] == FIRST_CHOICE and w["on_page"] for w in sheet.windows))
    check_layout(sheet, "more")
    s.screenshot("more")
    for offset, name in enumerate(("Upright", "Subfolders", "NoRepeats", "MoreTypes")):
        x, y = sheet.centre(FIRST_CHOICE + offset)
        s.xdotool("mousemove", x, y, "click", 1)
        value = stored(s, name, 1)
        check(value == 1, "ticking %s stored %s" % (name, value))
    s.xdotool("key", "Escape")
    ends(s, proc, "Escape")

if __name__ == "__main__":
    sys.exit(wine_window_tests.main(globals()))
