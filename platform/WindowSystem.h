// The window framework that the slide show, the application and the settings sheet
// stand on: windows with message handlers, one timer per identifier, posted close and
// quit requests, a message loop that can be pumped one message at a time, device
// contexts to draw into, and the screen's size.
//
// This header is portable: it includes no system header. Each platform implements
// WindowSystem and DeviceContext once (platform/headless, platform/linux,
// platform/win32); the portable Window class forwards its operations to the installed
// WindowSystem, which calls the Window's handlers as messages arrive.
#pragma once

#include <cstdint>
#include <memory>

#include "imaging/Canvas.h"
#include "imaging/Dib.h"

namespace glimsel_ui {

// A window of the platform: an X window id, an HWND, or a headless id.
using NativeWindow = uint64_t;

struct Size {
    int width = 0;
    int height = 0;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// Window styles, with the meanings of the platform this design comes from.
enum WindowStyle : unsigned {
    STYLE_OVERLAPPED = 0,       // an ordinary top-level window with frame and caption
    STYLE_POPUP = 1u << 0,      // a top-level window without frame
    STYLE_CHILD = 1u << 1,      // a child of the given parent
    STYLE_VISIBLE = 1u << 2,
};

enum ExtendedStyle : unsigned {
    EXSTYLE_NONE = 0,
    EXSTYLE_TOPMOST = 1u << 0,  // above all other windows
};

enum class MouseButton { Left, Middle, Right };

enum class SystemCommand {
    ScreenSave,  // a request to start the screen saver
    Close,       // the window menu's close command
    Other,
};

// One entry of a drawing palette.
struct PaletteEntry {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    uint8_t flags;
};

// Where a window's drawing goes: the whole client area, or the part of it that a paint
// request repaints (drawing is clipped to it).
class DeviceContext {
public:
    virtual ~DeviceContext() = default;

    // Selects and realizes a 256-entry drawing palette (foreground) on platforms that
    // have palettes; does nothing elsewhere.
    virtual void selectPalette(const PaletteEntry* entries, int count) = 0;
    // Fills the rectangle with black.
    virtual void fillBlack(const Rect& r) = 0;
    // The size of `text` in the default font.
    virtual Size textExtent(char const* text) = 0;
    // Writes `text` at (x, y) in the default font: black text on an opaque white box.
    virtual void textOut(int x, int y, char const* text) = 0;
    // Draws the whole DIB stretched into (x, y, width, height) with nearest-pixel
    // sampling; never reads more than infoBytes at `info` or bitsBytes at `bits`.
    virtual void stretchDib(int x, int y, int width, int height, const BITMAPINFO* info,
                            uint32_t infoBytes, const void* bits, uint32_t bitsBytes) = 0;

    // The window's own pixels behind `area`, where the platform keeps the window's
    // picture in memory as 32-bit pixels whose fourth byte is not shown and the context
    // may draw on all of `area`: `out` covers exactly `area`, ready to be written. False
    // elsewhere; the platform's drawing calls are then the only way onto the window.
    virtual bool pixelsFor(const Rect& area, img_lib::Canvas& out) = 0;
    // Shows what was written into the pixels of `area`.
    virtual void showPixels(const Rect& area) = 0;
    // Gives the pixels of `area` back what the window shows, after writes that must not
    // be seen (a picture that failed half-way).
    virtual void restorePixels(const Rect& area) = 0;
};

class WindowSystem;

// The framework's plain window. Subclasses override the handlers; each handler's
// default is what the platform's default processing would do.
class Window {
public:
    Window();
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Creates the platform window; false when that fails (onCreate returned -1 or
    // the platform refused).
    bool createWindow(unsigned exStyle, unsigned style, const Rect& r, NativeWindow parent);
    void destroyWindow();
    bool hasWindow() const { return native != 0; }
    NativeWindow handle() const { return native; }

    Rect clientRect() const;
    void setTimer(int id, unsigned periodMs);
    void killTimer(int id);
    // Posts a close request to this window; handled later by onClose.
    void postClose();
    // A context for the whole client area.
    std::unique_ptr<DeviceContext> getDC();

    // ---- Message handlers, called by the window system ----
    // After creation; -1 makes the creation fail.
    virtual int onCreate() { return 0; }
    virtual void onTimer(int) {}
    virtual void onPaint(DeviceContext&) {}
    virtual void onSize(int, int) {}
    virtual void onDestroy() {}
    // Default processing of a close request: destroy the window.
    virtual void onClose() { destroyWindow(); }
    virtual void onMouseMove(int, int) {}
    virtual void onButtonDown(MouseButton) {}
    virtual void onKeyDown(bool) {}
    // Frame activation; returning false refuses a deactivation.
    virtual bool onNcActivate(bool) { return true; }
    virtual void onActivate(bool) {}
    virtual void onActivateApp(bool) {}
    // Cursor query; true when the handler set the cursor itself.
    virtual bool onSetCursor() { return false; }
    // True when the command is swallowed; false lets the default processing run.
    virtual bool onSysCommand(SystemCommand) { return false; }
    // The last call for a window: it is gone. A self-deleting object deletes itself here.
    virtual void postNcDestroy() {}

private:
    friend class WindowSystem;
    NativeWindow native = 0;
};

// The platform's window framework: one per process, installed at start-up.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    static WindowSystem& current();
    static void install(WindowSystem* system);

    // ---- Windows ----
    // Creates the window for `w` and calls its onCreate; on success `w.handle()` is set.
    virtual bool createWindow(Window& w, unsigned exStyle, unsigned style, const Rect& r,
                              NativeWindow parent) = 0;
    // Destroys the window: onDestroy, then postNcDestroy.
    virtual void destroyWindow(Window& w) = 0;
    virtual Rect clientRect(const Window& w) = 0;
    // The client rectangle of a window that another program owns (a preview host);
    // false when there is no such window.
    virtual bool foreignClientRect(NativeWindow window, Rect& out) = 0;
    // The window whose destruction ends the message loop with exit code 0.
    virtual void setMainWindow(Window* w) = 0;

    // ---- Timers and posted requests ----
    virtual void setTimer(Window& w, int id, unsigned periodMs) = 0;
    virtual void killTimer(Window& w, int id) = 0;
    virtual void postClose(Window& w) = 0;
    virtual void postQuit(int exitCode) = 0;

    // ---- The message loop ----
    // Runs until the quit request; returns its exit code.
    virtual int runMessageLoop() = 0;
    virtual bool messageWaiting() = 0;
    // Fetches and dispatches one message; false when it was the quit request.
    virtual bool dispatchOneMessage() = 0;
    // The exit code of the last quit request that dispatchOneMessage took.
    virtual int quitCode() = 0;
    // Idle processing; true while it wants more idle time.
    virtual bool idle(int count) = 0;
    // Sleeps until a message arrives or `ms` milliseconds have passed.
    virtual void waitForMessage(uint32_t ms) = 0;
    // Milliseconds, wrapping at 2^32.
    virtual uint32_t tickCount() = 0;

    // ---- Screen and drawing ----
    // The primary monitor's size in pixels.
    virtual Size screenSize() = 0;
    virtual std::unique_ptr<DeviceContext> getDC(Window& w) = 0;

protected:
    // Lets implementations record the native handle of a window they create or drop.
    static void setNative(Window& w, NativeWindow native) { w.native = native; }
};

}  // namespace glimsel_ui
