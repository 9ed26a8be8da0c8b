// The message queue of a window system whose platform has none of the framework's kind
// (X11, headless): messages in the order they were posted, one timer per window and
// identifier, the close request, and the quit request as the platform this framework
// comes from has it: one pending flag whose exit code the last post sets, delivered
// only when no other message is queued. A backend with a native queue of this kind
// (Windows) does without it.
//
// Times are milliseconds of a clock that wraps at 2^32; the backend says what "now" is,
// so a virtual clock serves as well as a real one.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <utility>

#include "platform/WindowSystem.h"

namespace glimsel_ui {

// True when time `a` is not later than time `b`; survives the wrap of the clock.
inline bool notAfter(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) <= 0; }

// Input or a change of state for one window.
struct WindowEvent {
    enum Kind {
        MouseMove,    // x, y
        Button,       // button
        Key,
        SystemKey,    // a key with Alt
        Activate,     // active
        ActivateApp,  // active
        NcActivate,   // active
        SysCommand,   // command; the default processing of Close posts a close request
        SetCursor,
        Resized,      // x, y: the new width and height
    };
    Kind kind;
    int x = 0;
    int y = 0;
    MouseButton button = MouseButton::Left;
    bool active = false;
    SystemCommand command = SystemCommand::Other;
};

struct QueuedMessage {
    enum Kind {
        Timer,   // timerId
        Paint,   // delivered by the backend
        Close,
        Event,   // event
        Gone,    // the window was destroyed outside the program; handled by the backend
        Action,  // action, run by the backend (for the window, when one is named)
    };
    QueuedMessage(Kind kind, NativeWindow window = 0) : kind(kind), window(window) {}

    Kind kind;
    NativeWindow window;
    int timerId = 0;
    WindowEvent event{WindowEvent::MouseMove};
    std::function<void()> action;
};

class MessageQueue {
public:
    void post(QueuedMessage m) { queue.push_back(std::move(m)); }
    void postEvent(NativeWindow window, const WindowEvent& e);
    void postClose(NativeWindow window);
    void postQuit(int exitCode);

    // (Re)starts the timer `id` of `window`: a tick every `periodMs` from `now` on. A
    // tick of the previous timer with this id that is still queued is dropped.
    void setTimer(NativeWindow window, int id, unsigned periodMs, uint32_t now);
    void killTimer(NativeWindow window, int id);
    // The period of each running timer of a window (id -> ms).
    std::map<int, unsigned> timers(NativeWindow window) const;
    // Queues one tick for each due timer; a timer never has two ticks queued.
    void collectTimers(uint32_t now);
    // When the next timer without a queued tick is due; false when there is none.
    bool nextTimer(uint32_t& due) const;

    bool hasMessages() const { return !queue.empty(); }
    // A message or the quit request is waiting.
    bool waiting() const { return !queue.empty() || quitPending; }

    enum class Taken { Message, Quit, Nothing };
    // The next message; the quit request comes once the queue is empty.
    Taken take(QueuedMessage& out);
    // The exit code of the last quit request taken; -1 before the first.
    int quitCode() const { return lastQuit; }

    // The window whose destruction ends the message loop with exit code 0.
    void setMainWindow(Window* w) { mainWindow = w; }
    Window* main() const { return mainWindow; }
    // Drops the window's timers and queued messages.
    void forget(NativeWindow window);
    // The window is being destroyed: forget it; the main window's end posts quit (0).
    void windowGone(Window& w);

    // Delivers a Timer, Close or Event message to its window (the backend delivers the
    // other kinds). A tick of a timer killed meanwhile has no effect; a delivered tick
    // starts the next period at `now`.
    void deliver(Window& w, const QueuedMessage& m, uint32_t now);

private:
    struct TimerState {
        unsigned period;
        uint32_t due;
        bool queued;
    };

    std::deque<QueuedMessage> queue;
    std::map<std::pair<NativeWindow, int>, TimerState> timerTable;
    Window* mainWindow = nullptr;
    bool quitPending = false;
    int pendingQuit = 0;
    int lastQuit = -1;
};

}  // namespace glimsel_ui
