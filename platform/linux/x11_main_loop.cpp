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
    messages.setTimer(w.handle(), id, std::max(periodMs, MIN_PERIOD), queueNow());
}

void XWindowSystem::killTimer(glimsel_ui::Window& w, int id) { messages.killTimer(w.handle(), id); }

void XWindowSystem::postClose(glimsel_ui::Window& w) { messages.postClose(w.handle()); }

void XWindowSystem::postQuit(int exitCode) { messages.postQuit(exitCode); }

bool XWindowSystem::timerDue() const {
    uint32_t due;
    return messages.nextTimer(due) && glimsel_ui::notAfter(due, queueNow());
}

int64_t XWindowSystem::nextDeadline() const {
    int64_t t = now();
    int64_t next = -1;
    uint32_t due;
    if (messages.nextTimer(due)) {
        next = t + std::max<int32_t>(static_cast<int32_t>(due - static_cast<uint32_t>(t)), 0);
    }
    if (waitingHere() && waits.back().deadline >= 0 && (next < 0 || waits.back().deadline < next)) {
        next = waits.back().deadline;
    }
    return next;
}

// ---- The GLib source -------------------------------------------------------------

bool XWindowSystem::waitingHere() const { return !waits.empty() && waits.back().depth == g_main_depth(); }

bool XWindowSystem::readyToDispatch() {
    if (messages.hasMessages() || XEventsQueued(xd->display, QueuedAlready) > 0) return true;
    int64_t t = now();
    if (timerDue()) return true;
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
    if (!messages.hasMessages()) return;
    glimsel_ui::QueuedMessage m{glimsel_ui::QueuedMessage::Action};
    messages.take(m);
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
    messages.collectTimers(queueNow());
}

bool XWindowSystem::messageWaiting() {
    pump();
    return messages.waiting() || g_main_context_pending(nullptr);
}

bool XWindowSystem::dispatchOneMessage() {
    pump();
    glimsel_ui::QueuedMessage m{glimsel_ui::QueuedMessage::Action};
    switch (messages.take(m)) {
        case glimsel_ui::MessageQueue::Taken::Message: deliver(m); return true;
        case glimsel_ui::MessageQueue::Taken::Quit: return false;
        case glimsel_ui::MessageQueue::Taken::Nothing: break;
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
        if (!dispatchOneMessage()) return messages.quitCode();
    }
}

// ---- Delivery ----------------------------------------------------------------------

void XWindowSystem::deliver(const glimsel_ui::QueuedMessage& m) {
    using glimsel_ui::QueuedMessage;
    WindowState* s = find(m.window);
    if (!s) return;  // a request for a window that is gone has no effect
    glimsel_ui::Window& w = *s->window;
    if (m.kind == QueuedMessage::Paint) {
        deliverPaint(w, m.window);
    } else if (m.kind == QueuedMessage::Gone) {
        destroy(m.window, true);
    } else if (m.kind == QueuedMessage::Action) {
        m.action();
    } else {
        messages.deliver(w, m, queueNow());
    }
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
