#include "platform/linux/x11_screen.h"

#include <X11/extensions/Xrandr.h>

namespace glimsel_x11 {

namespace {

bool hasMonitorList(Display* display) {
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase)) return false;
    if (!XRRQueryVersion(display, &major, &minor)) return false;
    return major > 1 || (major == 1 && minor >= 5);
}

}  // namespace

glimsel_ui::Rect primaryMonitor(Display* display, int screen) {
    glimsel_ui::Rect whole{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
    if (!hasMonitorList(display)) return whole;
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, RootWindow(display, screen), True, &count);
    if (!monitors) return whole;
    glimsel_ui::Rect result = whole;
    if (count > 0) {
        int chosen = 0;
        for (int i = 0; i < count; ++i) {
            if (monitors[i].primary) {
                chosen = i;
                break;
            }
        }
        const XRRMonitorInfo& m = monitors[chosen];
        if (m.width > 0 && m.height > 0) result = glimsel_ui::Rect{m.x, m.y, m.x + m.width, m.y + m.height};
    }
    XRRFreeMonitors(monitors);
    return result;
}

}  // namespace glimsel_x11
