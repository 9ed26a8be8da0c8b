// The window framework on X11: Xlib windows, driven by the default GLib main context so
// that a GTK settings sheet can share the loop.
//
// Our messages (input translated from X events, paint requests, timers, posted close
// requests) wait in the emulated message queue (platform/MessageQueue.h), which also
// keeps the timers and the quit request. One GLib source watches the X connection and
// the timers and dispatches that queue, so whoever runs the GLib loop (our message loop
// or a GTK dialog's) serves our windows.
//
// The pointer is hidden by the invisible cursor of every window we make; X has no
// per-message cursor query, so onSetCursor is never called. Activation follows the
// keyboard focus of our top-level windows. A top-level window learns where the
// pointer is when it is mapped (a mouse-move message), as the framework's windows do
// when they appear under the pointer.
//
// This header includes no X header, so that code using the portable types (whose
// names X's macros would spoil) can include it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/MessageQueue.h"

union _XEvent;
struct _GSource;

namespace glimsel_x11 {

class X11Display;
class X11Framebuffer;

using glimsel_ui::MouseButton;
using glimsel_ui::NativeWindow;
using glimsel_ui::Rect;
using glimsel_ui::Size;
using glimsel_ui::SystemCommand;

class XWindowSystem : public glimsel_ui::WindowSystem {
public:
    // Connects to the display `name` (null: $DISPLAY); null when there is none.
    static std::unique_ptr<XWindowSystem> open(char const* name = nullptr);
    ~XWindowSystem() override;

    // The root window of the default screen (the target of "-root").
    NativeWindow rootWindow() const;

    // ---- WindowSystem ----
    bool createWindow(glimsel_ui::Window& w, unsigned exStyle, unsigned style, const Rect& r,
                      NativeWindow parent) override;
    void destroyWindow(glimsel_ui::Window& w) override;
    Rect clientRect(const glimsel_ui::Window& w) override;
    bool foreignClientRect(NativeWindow window, Rect& out) override;
    void setMainWindow(glimsel_ui::Window* w) override;
    void setTimer(glimsel_ui::Window& w, int id, unsigned periodMs) override;
    void killTimer(glimsel_ui::Window& w, int id) override;
    void postClose(glimsel_ui::Window& w) override;
    void postQuit(int exitCode) override;
    int runMessageLoop() override;
    bool messageWaiting() override;
    bool dispatchOneMessage() override;
    int quitCode() override { return messages.quitCode(); }
    bool idle(int count) override;
    void waitForMessage(uint32_t ms) override;
    uint32_t tickCount() override;
    Size screenSize() override;
    std::unique_ptr<glimsel_ui::DeviceContext> getDC(glimsel_ui::Window& w) override;

    // ---- For the device context ----
    // What a device context draws on; null once the window is gone, so drawing on it
    // is skipped instead of provoking errors.
    struct Surface {
        unsigned long xid;
        int width;
        int height;
        X11Framebuffer* framebuffer;  // null when no image could be made
    };
    bool surface(NativeWindow window, Surface& out);
    X11Display& x() { return *xd; }

    // ---- For the GLib source ----
    bool sourcePrepare(int& timeout);
    bool sourceCheck();
    void sourceDispatch();

private:
    struct WindowState {
        glimsel_ui::Window* window = nullptr;
        unsigned long xid = 0;
        unsigned long parent = 0;     // the X parent; 0 for a top-level window
        bool foreignParent = false;   // the parent belongs to another program
        bool topLevel = false;
        bool topmost = false;         // the saver: above everything, input grabbed
        bool grabbed = false;
        bool alive = true;            // false once the server destroyed it
        int width = 0;
        int height = 0;
        std::unique_ptr<X11Framebuffer> framebuffer;
        bool paintQueued = false;
        Rect paintArea;
        WindowState();
        ~WindowState();
        WindowState(WindowState&&) noexcept;
    };

    // A waitForMessage in progress: at which GLib dispatch depth, until when.
    struct Wait {
        int depth;
        int64_t deadline;  // -1: none
    };

    explicit XWindowSystem(std::unique_ptr<X11Display> display);

    // Our windows are keyed by their X window id.
    WindowState* find(NativeWindow window);
    static int64_t now();
    // The queue's clock: the same milliseconds, wrapping at 2^32.
    static uint32_t queueNow() { return static_cast<uint32_t>(now()); }

    // Window creation (x11_window_system.cpp).
    unsigned long makeXWindow(unsigned style, const Rect& r, unsigned long parent, WindowState& state);
    void setTopLevelProperties(unsigned long xid, bool managed, const Rect& where);
    void show(WindowState& state);
    void grabInput(WindowState& state);
    bool windowExists(unsigned long xid, Rect* size);
    void destroy(NativeWindow window, bool serverDestroyed);

    // Whether an error on `resource` is the race with another program destroying its
    // window: the resource is such a window, or one of ours inside one.
    static bool mayVanish(void* system, unsigned long resource);

    // The queue and the loop (x11_main_loop.cpp).
    void pump();
    bool timerDue() const;
    int64_t nextDeadline() const;
    bool readyToDispatch();
    bool waitingHere() const;
    void deliver(const glimsel_ui::QueuedMessage& m);
    void deliverPaint(glimsel_ui::Window& w, NativeWindow id);
    void deliverActivate(glimsel_ui::Window& w, bool active);

    // X events into messages, one handler per event type (x11_input.cpp).
    void translate(const _XEvent& e);
    void onMotion(const _XEvent& e);
    void onButtonPress(const _XEvent& e);
    void onKeyPress(const _XEvent& e);
    void onFocusChange(const _XEvent& e, bool active);
    // Queues the activation handlers for a change of the keyboard focus.
    void postFocus(NativeWindow window, bool active);
    void onLeave(const _XEvent& e);
    void onExpose(const _XEvent& e);
    void onConfigure(const _XEvent& e);
    void onMap(const _XEvent& e);
    void onDestroyNotify(const _XEvent& e);
    void onVisibility(const _XEvent& e);
    void onClientMessage(const _XEvent& e);
    void onShmCompletion(const _XEvent& e);

    std::unique_ptr<X11Display> xd;
    std::map<NativeWindow, WindowState> windows;
    glimsel_ui::MessageQueue messages;
    _GSource* source = nullptr;
    std::vector<Wait> waits;
};

}  // namespace glimsel_x11
