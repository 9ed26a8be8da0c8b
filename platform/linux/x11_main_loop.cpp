// Our message queue, its timers and the message loop, on the default GLib main context.
#include <X11/Xlib.h>

#include <glib.h>

#include <algorithm>

#include "platform/linux/x11_device_context.h"
#include "platform/linux/x11_display.h"
#include "platform/linux/x11_errors.h"
#include "platform/linux/x11_framebuffer.h"
#include "platform/linux/x11_window_system.h"
#include "platform/os.h"

namespace glimsel_x11 {

namespace {

// The platform's shortest timer period: a shorter one would only load the processor.
constexpr unsigned MIN_PERIOD = 10;

struct LoopSource {
    GSource base;
    XWindowSystem* system;
};

gboolean prepareSource(GSource* s, gint* timeout) {
    int t = -1;
    gboolean ready = reinterpret_cast<LoopSource*>(s)->system->sourcePrepare(t);
    *timeout = t;
    return ready;
}

gboolean checkSource(GSource* s) { return reinterpret_cast<LoopSource*>(s)->system->sourceCheck(); }

gboolean dispatchSource(GSource* s, GSourceFunc, gpointer) {
    reinterpret_cast<LoopSource*>(s)->system->sourceDispatch();
    return G_SOURCE_CONTINUE;
}

GSourceFuncs loopFuncs = {prepareSource, checkSource, dispatchSource, nullptr, nullptr, nullptr};

}  // namespace

XWindowSystem::XWindowSystem(std::unique_ptr<X11Display> display) : xd(std::move(display)) {
    source = g_source_new(&loopFuncs, sizeof(LoopSource));
    reinterpret_cast<LoopSource*>(source)->system = this;
    g_source_add_unix_fd(source, ConnectionNumber(xd->display), G_IO_IN);
    // A message handler may pump the loop again (the flash effect waits that way).
    g_source_set_can_recurse(source, TRUE);
    g_source_attach(source, nullptr);
    setExpectedErrors(&XWindowSystem::mayVanish, this);
}

XWindowSystem::~XWindowSystem() {
    setExpectedErrors(nullptr, nullptr);
    g_source_destroy(source);
    g_source_unref(source);
    for (auto& entry : windows) entry.second.framebuffer.reset();
}

int64_t XWindowSystem::now() { return g_get_monotonic_time() / 1000; }

uint32_t XWindowSystem::tickCount() { return glimsel_os::tickCount(); }

// ---- Timers and posted requests --------------------------------------------------

void XWindowSystem::setTimer(glimsel_ui::Window& w, int id, unsigned periodMs) {
    if (!find(w.handle())) return;
    killTimer(w, id);
    unsigned period = std::max(periodMs, MIN_PERIOD);
    timers[{w.handle(), id}] = Timer{period, now() + period, false};
}

void XWindowSystem::killTimer(glimsel_ui::Window& w, int id) {
    timers.erase({w.handle(), id});
    queue.erase(std::remove_if(queue.begin(), queue.end(),
                               [&](const Message& m) {
                                   return m.kind == Message::Timer && m.window == w.handle() && m.a == id;
                               }),
                queue.end());
}

void XWindowSystem::postClose(glimsel_ui::Window& w) { post(Message{Message::Close, w.handle()}); }

void XWindowSystem::postQuit(int exitCode) {
    quitPending = true;
    quitCode = exitCode;
}

void XWindowSystem::post(const Message& m) { queue.push_back(m); }

void XWindowSystem::purge(NativeWindow window) {
    queue.erase(std::remove_if(queue.begin(), queue.end(), [&](const Message& m) { return m.window == window; }),
                queue.end());
}

bool XWindowSystem::timerDue(int64_t at) const {
    for (const auto& t : timers) {
        if (!t.second.queued && t.second.due <= at) return true;
    }
    return false;
}

void XWindowSystem::collectTimers() {
    int64_t t = now();
    for (auto& entry : timers) {
        if (!entry.second.queued && entry.second.due <= t) {
            entry.second.queued = true;
            Message m{Message::Timer, entry.first.first};
            m.a = entry.first.second;
            post(m);
        }
    }
}

int64_t XWindowSystem::nextDeadline() const {
    int64_t next = -1;
    for (const auto& t : timers) {
        if (!t.second.queued && (next < 0 || t.second.due < next)) next = t.second.due;
    }
    if (waitingHere() && waits.back().deadline >= 0 && (next < 0 || waits.back().deadline < next)) {
        next = waits.back().deadline;
    }
    return next;
}

// ---- The GLib source -------------------------------------------------------------

bool XWindowSystem::waitingHere() const { return !waits.empty() && waits.back().depth == g_main_depth(); }

bool XWindowSystem::readyToDispatch() {
    if (!queue.empty() || XEventsQueued(xd->display, QueuedAlready) > 0) return true;
    int64_t t = now();
    if (timerDue(t)) return true;
    // A waiter's deadline counts only in its own iteration, not in a loop nested in it.
    return waitingHere() && waits.back().deadline >= 0 && waits.back().deadline <= t;
}

bool XWindowSystem::sourcePrepare(int& timeout) {
    // Requests must reach the server before the loop sleeps.
    XFlush(xd->display);
    if (readyToDispatch()) {
        timeout = 0;
        return true;
    }
    int64_t next = nextDeadline();
    if (next < 0) {
        timeout = -1;
    } else {
        int64_t left = next - now();
        timeout = static_cast<int>(std::min<int64_t>(std::max<int64_t>(left, 0), G_MAXINT));
    }
    return false;
}

bool XWindowSystem::sourceCheck() {
    if (readyToDispatch()) return true;
    // The connection has data: let dispatch read it.
    return XPending(xd->display) > 0;
}

void XWindowSystem::sourceDispatch() {
    pump();
    // Called from waitForMessage's own iteration: the waiter dispatches, not we.
    if (!waits.empty() && waits.back().depth + 1 == g_main_depth()) return;
    if (queue.empty()) return;
    Message m = queue.front();
    queue.pop_front();
    deliver(m);
}

// ---- The loop ----------------------------------------------------------------------

void XWindowSystem::pump() {
    Display* d = xd->display;
    while (XPending(d) > 0) {
        XEvent e;
        XNextEvent(d, &e);
        translate(e);
    }
    collectTimers();
}

bool XWindowSystem::messageWaiting() {
    pump();
    return !queue.empty() || quitPending || g_main_context_pending(nullptr);
}

bool XWindowSystem::dispatchOneMessage() {
    pump();
    if (!queue.empty()) {
        Message m = queue.front();
        queue.pop_front();
        deliver(m);
        return true;
    }
    if (quitPending) {
        quitPending = false;
        return false;
    }
    // Someone else's source (a GTK window's events) has something.
    g_main_context_iteration(nullptr, FALSE);
    return true;
}

bool XWindowSystem::idle(int) {
    XFlush(xd->display);
    return false;
}

void XWindowSystem::waitForMessage(uint32_t ms) {
    if (messageWaiting()) return;
    waits.push_back(Wait{g_main_depth(), now() + ms});
    // Sleeps in poll() on the X connection until an event, a timer or the deadline.
    g_main_context_iteration(nullptr, TRUE);
    waits.pop_back();
}

int XWindowSystem::runMessageLoop() {
    for (;;) {
        if (!messageWaiting()) {
            waits.push_back(Wait{g_main_depth(), -1});
            g_main_context_iteration(nullptr, TRUE);
            waits.pop_back();
        }
        if (!dispatchOneMessage()) return quitCode;
    }
}

// ---- Delivery ----------------------------------------------------------------------

void XWindowSystem::deliver(const Message& m) {
    WindowState* s = find(m.window);
    if (!s) return;  // a request for a window that is gone has no effect
    glimsel_ui::Window& w = *s->window;
    switch (m.kind) {
        case Message::Timer: deliverTimer(w, m); break;
        case Message::Paint: deliverPaint(w, m.window); break;
        case Message::Close: w.onClose(); break;
        case Message::Gone: destroy(m.window, true); break;
        case Message::Resized: w.onSize(m.a, m.b); break;
        case Message::MouseMove: w.onMouseMove(m.a, m.b); break;
        case Message::Button: w.onButtonDown(m.button); break;
        case Message::Key: w.onKeyDown(m.flag); break;
        case Message::Activate: deliverActivate(w, m.flag); break;
        case Message::SysCommand:
            // The default processing of a close command posts a close request.
            if (!w.onSysCommand(m.command) && m.command == SystemCommand::Close) postClose(w);
            break;
    }
}

void XWindowSystem::deliverTimer(glimsel_ui::Window& w, const Message& m) {
    auto it = timers.find({m.window, m.a});
    if (it == timers.end()) return;
    it->second.queued = false;
    it->second.due = now() + it->second.period;
    w.onTimer(m.a);
}

void XWindowSystem::deliverPaint(glimsel_ui::Window& w, NativeWindow id) {
    WindowState* s = find(id);
    s->paintQueued = false;
    Rect area = s->paintArea;
    s->paintArea = Rect{};
    X11DeviceContext dc(*this, id, area);
    w.onPaint(dc);
}

void XWindowSystem::deliverActivate(glimsel_ui::Window& w, bool active) {
    NativeWindow id = w.handle();
    // Our program has one top-level window at a time, so the window's activation is
    // the application's as well. Each handler may destroy the window.
    w.onNcActivate(active);
    if (!find(id)) return;
    if (active) {
        w.onActivateApp(true);
        if (find(id)) w.onActivate(true);
    } else {
        w.onActivate(false);
        if (find(id)) w.onActivateApp(false);
    }
}

}  // namespace glimsel_x11
