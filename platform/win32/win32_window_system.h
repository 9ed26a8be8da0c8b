// The window framework on Windows, over raw Win32: one window class for our windows,
// the thread's own message queue, SetTimer timers, PostQuitMessage, and a window
// procedure that hands each message to one small handler (win32_messages.cpp).
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "platform/WindowSystem.h"

namespace glimsel_win32 {

using glimsel_ui::NativeWindow;
using glimsel_ui::Rect;
using glimsel_ui::Size;

class Win32WindowSystem : public glimsel_ui::WindowSystem {
public:
    // The window class's cursor comes from the program's resource `cursorId` when there
    // is one; otherwise an invisible cursor is made.
    static constexpr int CURSOR_RESOURCE = 129;

    explicit Win32WindowSystem(HINSTANCE instance);
    ~Win32WindowSystem() override;

    static HWND hwnd(NativeWindow w) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(w)); }
    static NativeWindow native(HWND w) { return static_cast<NativeWindow>(reinterpret_cast<uintptr_t>(w)); }

    // ---- WindowSystem ----
    bool createWindow(glimsel_ui::Window& w, unsigned exStyle, unsigned style, const Rect& r,
                      NativeWindow parent) override;
    void destroyWindow(glimsel_ui::Window& w) override;
    Rect clientRect(const glimsel_ui::Window& w) override;
    bool foreignClientRect(NativeWindow window, Rect& out) override;
    void setMainWindow(glimsel_ui::Window* w) override { mainWindow = w; }
    void setTimer(glimsel_ui::Window& w, int id, unsigned periodMs) override;
    void killTimer(glimsel_ui::Window& w, int id) override;
    void postClose(glimsel_ui::Window& w) override;
    void postQuit(int exitCode) override;
    int runMessageLoop() override;
    bool messageWaiting() override;
    bool dispatchOneMessage() override;
    int quitCode() override { return lastQuitCode; }
    bool idle(int) override { return false; }
    void waitForMessage(uint32_t ms) override;
    uint32_t tickCount() override;
    Size screenSize() override;
    std::unique_ptr<glimsel_ui::DeviceContext> getDC(glimsel_ui::Window& w) override;

    // The property sheet whose own loop waits while a drawing window dispatches messages
    // (during a flash or a long decode); null when there is none.
    void setPropertySheet(HWND sheet) { propertySheet = sheet; }

    // The 3-3-2 drawing palette as a GDI palette, made on first use.
    HPALETTE palette(const glimsel_ui::PaletteEntry* entries, int count);

private:
    // The procedure of our window class and its handlers (win32_messages.cpp).
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(glimsel_ui::Window& w, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onCreate(glimsel_ui::Window& w);
    LRESULT onPaint(glimsel_ui::Window& w, HWND hwnd);
    LRESULT onNcDestroy(glimsel_ui::Window& w, HWND hwnd);
    LRESULT onNcActivate(glimsel_ui::Window& w, HWND hwnd, WPARAM wParam, LPARAM lParam);
    LRESULT onSetCursor(glimsel_ui::Window& w, HWND hwnd, WPARAM wParam, LPARAM lParam);
    LRESULT onSysCommand(glimsel_ui::Window& w, HWND hwnd, WPARAM wParam, LPARAM lParam);

    bool registerClass();

    HINSTANCE instance;
    ATOM windowClass = 0;
    HCURSOR madeCursor = nullptr;  // the invisible cursor, when the program has none
    glimsel_ui::Window* mainWindow = nullptr;
    // The window whose creation runs: its handle is known from the first message on.
    glimsel_ui::Window* creating = nullptr;
    bool creationRefused = false;
    HPALETTE drawingPalette = nullptr;
    std::vector<glimsel_ui::PaletteEntry> paletteEntries;
    int lastQuitCode = 0;
    HWND propertySheet = nullptr;
};

}  // namespace glimsel_win32
