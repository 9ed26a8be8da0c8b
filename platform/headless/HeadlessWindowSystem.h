// A window system without a display: a memory frame per window that the device context
// really draws into (through the DIB renderer), a virtual clock and scripted input.
// Every rule of the slide show and the application runs here deterministically and
// fast: waiting advances the virtual clock instead of sleeping.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/MessageQueue.h"

namespace glimsel_headless {

using glimsel_ui::MouseButton;
using glimsel_ui::NativeWindow;
using glimsel_ui::Rect;
using glimsel_ui::Size;
using glimsel_ui::SystemCommand;
using glimsel_ui::Window;

// One drawing operation, as a test sees it.
struct DrawCall {
    enum Kind { Palette, Fill, Text, Dib };
    Kind kind;
    NativeWindow window;
    uint32_t clock;  // virtual time of the call
    Rect rect;       // target rectangle (text: position and extent)
    std::string text;
    int sourceWidth = 0;   // Dib: the picture's size
    int sourceHeight = 0;
};

// An input event delivered to a window at a virtual time.
using InputEvent = glimsel_ui::WindowEvent;

class HeadlessWindowSystem : public glimsel_ui::WindowSystem {
public:
    explicit HeadlessWindowSystem(Size screen = Size{1024, 768});
    ~HeadlessWindowSystem() override;

    // ---- Test controls ----
    uint32_t now() const { return clock; }
    // Moves the virtual clock forward, turning due timers into messages.
    void advance(uint32_t ms);
    // Delivers `event` to `window` (0: the main window) at virtual time `at`.
    void scheduleInput(uint32_t at, const InputEvent& event, NativeWindow window = 0);
    // Runs `action` from the message loop at virtual time `at` (a host destroying its
    // window, a second program writing settings, ...).
    void scheduleAction(uint32_t at, std::function<void()> action);
    // Runs the message loop until the quit request or until the clock passes `until`;
    // returns the exit code, or -1 when the clock limit was reached first.
    int runUntil(uint32_t until);
    // A window of another program (a preview host) with the given client rectangle.
    NativeWindow addForeignWindow(const Rect& client);
    // The host destroys its window: every child window of ours goes with it.
    void destroyForeignWindow(NativeWindow window);
    bool windowExists(NativeWindow window) const;
    // The style, rectangle and parent a window was created with.
    struct WindowRecord {
        unsigned exStyle = 0;
        unsigned style = 0;
        Rect rect;
        NativeWindow parent = 0;
        bool foreign = false;
        bool alive = true;
    };
    const WindowRecord* record(NativeWindow window) const;
    // Every drawing operation so far; tests may clear it.
    std::vector<DrawCall> drawLog;
    // What a window shows: 0x00RRGGBB at (x, y) of its client area, UNPAINTED where
    // nothing was drawn yet or outside the window; text shows as its white box.
    static constexpr uint32_t UNPAINTED = 0x00FF00FF;
    uint32_t pixel(NativeWindow window, int x, int y) const;
    // The period of each running timer of a window (id → ms).
    std::map<int, unsigned> timers(NativeWindow window) const { return messages.timers(window); }
    size_t messagesDispatched() const { return dispatched; }

    // ---- WindowSystem ----
    bool createWindow(Window& w, unsigned exStyle, unsigned style, const Rect& r, NativeWindow parent) override;
    void destroyWindow(Window& w) override;
    Rect clientRect(const Window& w) override;
    bool foreignClientRect(NativeWindow window, Rect& out) override;
    void setMainWindow(Window* w) override;
    void setTimer(Window& w, int id, unsigned periodMs) override;
    void killTimer(Window& w, int id) override;
    void postClose(Window& w) override;
    void postQuit(int exitCode) override;
    int runMessageLoop() override;
    bool messageWaiting() override;
    bool dispatchOneMessage() override;
    int quitCode() override { return messages.quitCode(); }
    bool idle(int count) override;
    void waitForMessage(uint32_t ms) override;
    uint32_t tickCount() override { return clock; }
    Size screenSize() override { return screen; }
    std::unique_ptr<glimsel_ui::DeviceContext> getDC(Window& w) override;

private:
    struct ScheduledInput {
        uint32_t at;
        InputEvent event;
        NativeWindow window;
        std::function<void()> action;  // when set, runs instead of delivering `event`
    };
    // The pixels of one window's client area.
    struct Frame {
        int width = 0;
        int height = 0;
        std::vector<uint32_t> pixels;
    };
    friend class HeadlessDeviceContext;

    Window* find(NativeWindow window) const;
    // Moves due timers and scripted input into the queue.
    void collectDue();
    // The virtual time of the next timer or scripted input; false when there is none.
    bool nextEventTime(uint32_t& at) const;
    void deliver(const glimsel_ui::QueuedMessage& m);
    void destroy(NativeWindow window);

    Size screen;
    uint32_t clock = 0;
    NativeWindow nextId = 100;
    std::map<NativeWindow, Window*> windows;
    std::map<NativeWindow, WindowRecord> records;
    std::map<NativeWindow, Frame> frames;
    glimsel_ui::MessageQueue messages;
    std::vector<ScheduledInput> script;
    size_t dispatched = 0;
};

}  // namespace glimsel_headless
