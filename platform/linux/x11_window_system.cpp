// Making, showing and destroying X windows for the framework's window styles.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <glib.h>
#include <unistd.h>

#include "platform/linux/x11_device_context.h"
#include "platform/linux/x11_display.h"
#include "platform/linux/x11_errors.h"
#include "platform/linux/x11_framebuffer.h"
#include "platform/linux/x11_screen.h"
#include "platform/linux/x11_window_system.h"

namespace glimsel_x11 {

namespace {

constexpr int MAX_SIDE = 32767;  // the protocol's limit for a window side

int clampSide(int v) { return std::max(1, std::min(v, MAX_SIDE)); }

// What every window of ours reports; input only where someone handles it.
constexpr long BASE_EVENTS = ExposureMask | StructureNotifyMask;
constexpr long INPUT_EVENTS = KeyPressMask | ButtonPressMask | PointerMotionMask;

// How long the saver keeps trying to grab the keyboard and pointer when another
// program holds them (a menu that is just closing).
constexpr int GRAB_TRIES = 20;
constexpr int GRAB_RETRY_US = 25000;

}  // namespace

XWindowSystem::WindowState::WindowState() = default;
XWindowSystem::WindowState::~WindowState() = default;
XWindowSystem::WindowState::WindowState(WindowState&&) noexcept = default;

std::unique_ptr<XWindowSystem> XWindowSystem::open(char const* name) {
    std::unique_ptr<X11Display> display = X11Display::open(name);
    if (!display) return nullptr;
    return std::unique_ptr<XWindowSystem>(new XWindowSystem(std::move(display)));
}

NativeWindow XWindowSystem::rootWindow() const { return xd->root; }

XWindowSystem::WindowState* XWindowSystem::find(NativeWindow window) {
    auto it = windows.find(window);
    return it == windows.end() ? nullptr : &it->second;
}

bool XWindowSystem::windowExists(unsigned long xid, Rect* size) {
    if (!xid) return false;
    XWindowAttributes attributes;
    ErrorTrap trap(xd->display);
    Status ok = XGetWindowAttributes(xd->display, xid, &attributes);
    if (trap.finish() != 0 || !ok) return false;
    if (size) *size = Rect{0, 0, attributes.width, attributes.height};
    return true;
}

bool XWindowSystem::foreignClientRect(NativeWindow window, Rect& out) {
    if (WindowState* s = find(window)) {
        out = Rect{0, 0, s->width, s->height};
        return s->alive;
    }
    return windowExists(window, &out);
}

Rect XWindowSystem::clientRect(const glimsel_ui::Window& w) {
    WindowState* s = find(w.handle());
    return s ? Rect{0, 0, s->width, s->height} : Rect{};
}

Size XWindowSystem::screenSize() {
    Rect monitor = primaryMonitor(xd->display, xd->screen);
    return Size{monitor.width(), monitor.height()};
}

void XWindowSystem::setMainWindow(glimsel_ui::Window* w) { messages.setMainWindow(w); }

bool XWindowSystem::createWindow(glimsel_ui::Window& w, unsigned exStyle, unsigned style, const Rect& r,
                                 NativeWindow parent) {
    if (w.hasWindow()) return false;
    WindowState state;
    state.window = &w;
    if ((style & glimsel_ui::STYLE_CHILD) && parent) {
        // A window id from the command line or the environment is checked before use.
        WindowState* own = find(parent);
        if (own ? !own->alive : !windowExists(parent, nullptr)) return false;
        state.parent = parent;
        state.foreignParent = own == nullptr;
    } else {
        state.topLevel = true;
        state.topmost = (exStyle & glimsel_ui::EXSTYLE_TOPMOST) != 0;
    }
    unsigned long xid = makeXWindow(style, r, state.parent, state);
    if (!xid) return false;
    state.xid = xid;
    windows.emplace(xid, std::move(state));
    setNative(w, xid);

    if (w.onCreate() == -1) {
        // A refused creation leaves no window behind and calls no further handler: the
        // creator still owns (and deletes) the object.
        messages.forget(xid);
        windows.erase(xid);
        XDestroyWindow(xd->display, xid);
        setNative(w, 0);
        return false;
    }
    WindowState* s = find(xid);
    if (!s) return false;  // onCreate destroyed it
    if (style & glimsel_ui::STYLE_VISIBLE) show(*s);
    return true;
}

unsigned long XWindowSystem::makeXWindow(unsigned style, const Rect& r, unsigned long parent, WindowState& state) {
    Display* d = xd->display;
    int x = r.left;
    int y = r.top;
    if (state.topLevel && (style & glimsel_ui::STYLE_POPUP)) {
        // A frameless window is placed on the primary monitor, wherever that lies.
        Rect monitor = primaryMonitor(d, xd->screen);
        x += monitor.left;
        y += monitor.top;
    }
    state.width = clampSide(r.width());
    state.height = clampSide(r.height());

    XSetWindowAttributes a{};
    // No background: the server never erases what the pictures left.
    a.background_pixmap = None;
    a.border_pixel = 0;
    a.colormap = xd->colormap;
    a.cursor = xd->invisibleCursor;
    a.bit_gravity = NorthWestGravity;
    a.override_redirect = state.topLevel && (style & glimsel_ui::STYLE_POPUP) ? True : False;
    a.event_mask = BASE_EVENTS;
    if (state.topLevel) {
        // A child in another program's window leaves the input to that program.
        a.event_mask |= INPUT_EVENTS | FocusChangeMask;
        if (state.topmost) a.event_mask |= VisibilityChangeMask | LeaveWindowMask;
    }
    unsigned long mask = CWBackPixmap | CWBorderPixel | CWColormap | CWCursor | CWBitGravity | CWOverrideRedirect |
                         CWEventMask;

    ErrorTrap trap(d);
    ::Window xid = XCreateWindow(d, parent ? parent : xd->root, x, y, static_cast<unsigned>(state.width),
                                 static_cast<unsigned>(state.height), 0, xd->depth, InputOutput, xd->visual, mask, &a);
    if (trap.finish() != 0) return 0;  // the parent went away meanwhile
    if (state.foreignParent) {
        // Only structure events: another client may own the parent's input events, and
        // the server gives those to one client alone.
        XSelectInput(d, parent, StructureNotifyMask);
    }
    if (state.topLevel) {
        setTopLevelProperties(xid, !(style & glimsel_ui::STYLE_POPUP), Rect{x, y, x + state.width, y + state.height});
    }
    return xid;
}

void XWindowSystem::setTopLevelProperties(unsigned long xid, bool managed, const Rect& where) {
    Display* d = xd->display;
    XClassHint hint;
    char name[] = "glimsel";
    char className[] = "Glimsel";
    hint.res_name = name;
    hint.res_class = className;
    XSetClassHint(d, xid, &hint);
    if (!managed) return;
    static const char title[] = "Glimsel";
    XStoreName(d, xid, title);
    XChangeProperty(d, xid, xd->netWmName, xd->utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title), static_cast<int>(std::strlen(title)));
    XSetWMProtocols(d, xid, &xd->wmDeleteWindow, 1);
    // The position asked for, not one the window manager picks.
    XSizeHints* hints = XAllocSizeHints();
    if (hints) {
        hints->flags = USPosition | USSize;
        hints->x = where.left;
        hints->y = where.top;
        hints->width = where.width();
        hints->height = where.height();
        XSetWMNormalHints(d, xid, hints);
        XFree(hints);
    }
}

void XWindowSystem::show(WindowState& state) {
    Display* d = xd->display;
    if (state.topmost) {
        XMapRaised(d, state.xid);
        XSync(d, False);
        grabInput(state);
    } else {
        XMapWindow(d, state.xid);
    }
    XFlush(d);
}

void XWindowSystem::grabInput(WindowState& state) {
    Display* d = xd->display;
    bool keyboard = false;
    bool pointer = false;
    for (int i = 0; i < GRAB_TRIES && !(keyboard && pointer); ++i) {
        if (i > 0) usleep(GRAB_RETRY_US);
        if (!keyboard) {
            keyboard = XGrabKeyboard(d, state.xid, True, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
        }
        if (!pointer) {
            pointer = XGrabPointer(d, state.xid, True, ButtonPressMask | PointerMotionMask, GrabModeAsync,
                                   GrabModeAsync, None, xd->invisibleCursor, CurrentTime) == GrabSuccess;
        }
    }
    state.grabbed = keyboard && pointer;
    if (!keyboard || !pointer) {
        std::fprintf(stderr, "glimsel: could not grab the %s\n", keyboard ? "pointer" : "keyboard");
    }
    // Keyboard focus too, so that losing it to another window is noticed.
    XSetInputFocus(d, state.xid, RevertToParent, CurrentTime);
}

void XWindowSystem::destroyWindow(glimsel_ui::Window& w) { destroy(w.handle(), false); }

void XWindowSystem::destroy(NativeWindow window, bool serverDestroyed) {
    WindowState* s = find(window);
    if (!s) return;
    glimsel_ui::Window* w = s->window;
    // Children go first, as the server's window tree has it.
    std::vector<NativeWindow> children;
    for (auto& entry : windows) {
        if (entry.second.parent == window) children.push_back(entry.first);
    }
    for (NativeWindow child : children) destroy(child, serverDestroyed);

    s = find(window);
    if (!s) return;
    if (serverDestroyed) s->alive = false;
    w->onDestroy();

    s = find(window);
    if (!s) return;  // onDestroy destroyed it again
    messages.windowGone(*w);
    bool alive = s->alive;
    s->framebuffer.reset();
    windows.erase(window);
    if (alive) XDestroyWindow(xd->display, window);
    XFlush(xd->display);
    setNative(*w, 0);
    w->postNcDestroy();  // may delete w
}

std::unique_ptr<glimsel_ui::DeviceContext> XWindowSystem::getDC(glimsel_ui::Window& w) {
    WindowState* s = find(w.handle());
    Rect all = s ? Rect{0, 0, s->width, s->height} : Rect{};
    return std::make_unique<X11DeviceContext>(*this, w.handle(), all);
}

bool XWindowSystem::mayVanish(void* system, unsigned long resource) {
    for (const auto& entry : static_cast<XWindowSystem*>(system)->windows) {
        const WindowState& s = entry.second;
        if (s.foreignParent && (s.xid == resource || s.parent == resource)) return true;
    }
    return false;
}

bool XWindowSystem::surface(NativeWindow window, Surface& out) {
    WindowState* s = find(window);
    if (!s || !s->alive) return false;
    if (s->foreignParent) {
        // The other program may have destroyed its window meanwhile: take the news
        // that is already here before drawing.
        pump();
        s = find(window);
        if (!s || !s->alive) return false;
    }
    if (!s->framebuffer || s->framebuffer->width() != s->width || s->framebuffer->height() != s->height) {
        s->framebuffer.reset();
        s->framebuffer = std::make_unique<X11Framebuffer>(*xd, s->width, s->height);
    }
    out = Surface{s->xid, s->width, s->height, s->framebuffer->valid() ? s->framebuffer.get() : nullptr};
    return true;
}

}  // namespace glimsel_x11
