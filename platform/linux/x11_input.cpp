// X events into our messages: one small handler per event type.
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>

#include "platform/linux/x11_display.h"
#include "platform/linux/x11_framebuffer.h"
#include "platform/linux/x11_window_system.h"

namespace glimsel_x11 {

using glimsel_ui::WindowEvent;

void XWindowSystem::translate(const XEvent& e) {
    switch (e.type) {
        case MotionNotify: onMotion(e); break;
        case ButtonPress: onButtonPress(e); break;
        case KeyPress: onKeyPress(e); break;
        case FocusIn: onFocusChange(e, true); break;
        case FocusOut: onFocusChange(e, false); break;
        case LeaveNotify: onLeave(e); break;
        case Expose: onExpose(e); break;
        case ConfigureNotify: onConfigure(e); break;
        case MapNotify: onMap(e); break;
        case DestroyNotify: onDestroyNotify(e); break;
        case VisibilityNotify: onVisibility(e); break;
        case ClientMessage: onClientMessage(e); break;
        default:
            if (e.type == xd->shmCompletion) onShmCompletion(e);
            break;
    }
}

void XWindowSystem::onShmCompletion(const XEvent& e) {
    for (auto& entry : windows) {
        if (entry.second.framebuffer) entry.second.framebuffer->completed(e);
    }
}

void XWindowSystem::onMotion(const XEvent& e) {
    if (!find(e.xmotion.window)) return;
    WindowEvent m{WindowEvent::MouseMove};
    m.x = e.xmotion.x;
    m.y = e.xmotion.y;
    messages.postEvent(e.xmotion.window, m);
}

void XWindowSystem::onMap(const XEvent& e) {
    WindowState* s = find(e.xmap.window);
    if (!s || !s->topLevel || !s->alive) return;
    // X reports no position when a window appears under the pointer, while the
    // framework's windows expect one then: take it ourselves, so that the first real
    // movement is news.
    ::Window root, child;
    int rootX, rootY, x, y;
    unsigned mask;
    if (!XQueryPointer(xd->display, s->xid, &root, &child, &rootX, &rootY, &x, &y, &mask)) return;
    if (x < 0 || y < 0 || x >= s->width || y >= s->height) return;
    WindowEvent m{WindowEvent::MouseMove};
    m.x = x;
    m.y = y;
    messages.postEvent(s->xid, m);
}

void XWindowSystem::onButtonPress(const XEvent& e) {
    if (!find(e.xbutton.window)) return;
    WindowEvent m{WindowEvent::Button};
    // The wheel (buttons 4 to 7) and any extra button count as the middle button:
    // they end a saver run and leave a test run alone, as a middle click does.
    switch (e.xbutton.button) {
        case Button1: m.button = MouseButton::Left; break;
        case Button3: m.button = MouseButton::Right; break;
        default: m.button = MouseButton::Middle; break;
    }
    messages.postEvent(e.xbutton.window, m);
}

void XWindowSystem::onKeyPress(const XEvent& e) {
    if (!find(e.xkey.window)) return;
    XKeyEvent key = e.xkey;
    KeySym sym = XLookupKeysym(&key, 0);
    // Alt, and any key held with it, is a system key.
    bool alt = (e.xkey.state & Mod1Mask) || sym == XK_Alt_L || sym == XK_Alt_R || sym == XK_Meta_L ||
               sym == XK_Meta_R;
    messages.postEvent(e.xkey.window, WindowEvent{alt ? WindowEvent::SystemKey : WindowEvent::Key});
}

void XWindowSystem::onFocusChange(const XEvent& e, bool active) {
    const XFocusChangeEvent& f = e.xfocus;
    WindowState* s = find(f.window);
    if (!s || !s->topLevel) return;
    // Grabs move the focus for their duration only (ours when the saver starts); focus
    // that goes to one of our own child windows stays with us.
    if (f.mode == NotifyGrab || f.mode == NotifyUngrab || f.detail == NotifyInferior || f.detail == NotifyPointer) {
        return;
    }
    postFocus(f.window, active);
}

void XWindowSystem::postFocus(NativeWindow window, bool active) {
    glimsel_ui::QueuedMessage m{glimsel_ui::QueuedMessage::Action, window};
    m.action = [this, window, active] {
        if (WindowState* s = find(window)) deliverActivate(*s->window, active);
    };
    messages.post(std::move(m));
}

void XWindowSystem::onLeave(const XEvent& e) {
    const XCrossingEvent& c = e.xcrossing;
    WindowState* s = find(c.window);
    // Another program grabbed the pointer away from a saver that holds no grab (its own
    // grab failed): the user works elsewhere. A saver that holds its grab never loses it
    // to another client, and its own grab does not leave its window.
    if (!s || !s->topmost || s->grabbed || c.mode != NotifyGrab) return;
    postFocus(c.window, false);
}

void XWindowSystem::onExpose(const XEvent& e) {
    const XExposeEvent& x = e.xexpose;
    WindowState* s = find(x.window);
    if (!s) return;
    Rect r{x.x, x.y, x.x + x.width, x.y + x.height};
    // The window keeps its pixels, as a compositing desktop keeps them: what another
    // window (a dialog, a menu) covered comes back as it was, whether or not the paint
    // request below draws over it.
    if (s->alive && s->framebuffer && s->framebuffer->width() == s->width && s->framebuffer->height() == s->height) {
        Rect inside{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, s->width), std::min(r.bottom, s->height)};
        s->framebuffer->put(s->xid, inside);
    }
    // One paint request per window, for everything exposed meanwhile.
    if (s->paintArea.width() <= 0 || s->paintArea.height() <= 0) {
        s->paintArea = r;
    } else {
        s->paintArea = Rect{std::min(s->paintArea.left, r.left), std::min(s->paintArea.top, r.top),
                            std::max(s->paintArea.right, r.right), std::max(s->paintArea.bottom, r.bottom)};
    }
    if (!s->paintQueued) {
        s->paintQueued = true;
        messages.post(glimsel_ui::QueuedMessage{glimsel_ui::QueuedMessage::Paint, x.window});
    }
}

void XWindowSystem::onConfigure(const XEvent& e) {
    const XConfigureEvent& c = e.xconfigure;
    if (WindowState* s = find(c.window)) {
        if (c.width == s->width && c.height == s->height) return;
        s->width = c.width;
        s->height = c.height;
        WindowEvent m{WindowEvent::Resized};
        m.x = c.width;
        m.y = c.height;
        messages.postEvent(c.window, m);
        return;
    }
    // A foreign parent changed its size: our children in it follow.
    for (auto& entry : windows) {
        WindowState& child = entry.second;
        if (child.foreignParent && child.parent == c.window && child.alive) {
            XResizeWindow(xd->display, child.xid, static_cast<unsigned>(std::max(c.width, 1)),
                          static_cast<unsigned>(std::max(c.height, 1)));
        }
    }
}

void XWindowSystem::onDestroyNotify(const XEvent& e) {
    const XDestroyWindowEvent& d = e.xdestroywindow;
    // The server destroyed the window, or the foreign parent and our children with it.
    // Nothing may be drawn on them any more; the framework learns of it in order.
    for (auto& entry : windows) {
        WindowState& s = entry.second;
        if (!s.alive) continue;
        if (s.xid == d.window || (s.foreignParent && s.parent == d.window)) {
            s.alive = false;
            messages.post(glimsel_ui::QueuedMessage{glimsel_ui::QueuedMessage::Gone, s.xid});
        }
    }
}

void XWindowSystem::onVisibility(const XEvent& e) {
    WindowState* s = find(e.xvisibility.window);
    // The saver stays above everything, even a window mapped after it.
    if (s && s->topmost && s->alive && e.xvisibility.state != VisibilityUnobscured) {
        XRaiseWindow(xd->display, s->xid);
    }
}

void XWindowSystem::onClientMessage(const XEvent& e) {
    const XClientMessageEvent& c = e.xclient;
    if (!find(c.window) || c.message_type != xd->wmProtocols || c.format != 32) return;
    if (static_cast<Atom>(c.data.l[0]) != xd->wmDeleteWindow) return;
    // The window manager's close button: the system's close command.
    WindowEvent m{WindowEvent::SysCommand};
    m.command = SystemCommand::Close;
    messages.postEvent(c.window, m);
}

}  // namespace glimsel_x11
