// Windows, timers, the message queue and the screen of the Win32 window system.
#include "platform/win32/win32_window_system.h"

#include <commctrl.h>

#include <cstring>

#include "platform/win32/win32_device_context.h"

namespace glimsel_win32 {

namespace {
char const* const CLASS_NAME = "GlimselDrawWnd";
}

Win32WindowSystem::Win32WindowSystem(HINSTANCE instance) : instance(instance) {}

Win32WindowSystem::~Win32WindowSystem() {
    if (windowClass) UnregisterClassA(CLASS_NAME, instance);
    if (madeCursor) DestroyCursor(madeCursor);
    if (drawingPalette) DeleteObject(drawingPalette);
}

bool Win32WindowSystem::registerClass() {
    if (windowClass) return true;
    HCURSOR cursor = LoadCursorA(instance, MAKEINTRESOURCEA(CURSOR_RESOURCE));
    if (!cursor) {
        // The same cursor as the program's resource: every mask bit set, no image bit.
        BYTE andMask[32 * 32 / 8];
        BYTE xorMask[32 * 32 / 8];
        std::memset(andMask, 0xFF, sizeof andMask);
        std::memset(xorMask, 0x00, sizeof xorMask);
        madeCursor = CreateCursor(instance, 0, 0, 32, 32, andMask, xorMask);
        cursor = madeCursor;
    }
    WNDCLASSA wc = {};
    // No background brush: the system never erases what the pictures left.
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &Win32WindowSystem::windowProc;
    wc.hInstance = instance;
    wc.hCursor = cursor;
    wc.lpszClassName = CLASS_NAME;
    windowClass = RegisterClassA(&wc);
    return windowClass != 0;
}

bool Win32WindowSystem::createWindow(glimsel_ui::Window& w, unsigned exStyle, unsigned style, const Rect& r,
                                     NativeWindow parent) {
    if (!registerClass()) return false;
    DWORD ws = WS_OVERLAPPED;
    if (style & glimsel_ui::STYLE_POPUP) ws |= WS_POPUP;
    if (style & glimsel_ui::STYLE_CHILD) ws |= WS_CHILD;
    if (style & glimsel_ui::STYLE_VISIBLE) ws |= WS_VISIBLE;
    DWORD ex = (exStyle & glimsel_ui::EXSTYLE_TOPMOST) ? WS_EX_TOPMOST : 0;
    HWND made = CreateWindowExA(ex, CLASS_NAME, "", ws, r.left, r.top, r.width(), r.height(), hwnd(parent), nullptr,
                                instance, &w);
    if (!made) {
        setNative(w, 0);
        return false;
    }
    return true;
}

void Win32WindowSystem::destroyWindow(glimsel_ui::Window& w) { DestroyWindow(hwnd(w.handle())); }

Rect Win32WindowSystem::clientRect(const glimsel_ui::Window& w) {
    RECT r = {};
    GetClientRect(hwnd(w.handle()), &r);
    return Rect{r.left, r.top, r.right, r.bottom};
}

bool Win32WindowSystem::foreignClientRect(NativeWindow window, Rect& out) {
    HWND h = hwnd(window);
    RECT r;
    if (!window || !IsWindow(h) || !GetClientRect(h, &r)) return false;
    out = Rect{r.left, r.top, r.right, r.bottom};
    return true;
}

void Win32WindowSystem::setTimer(glimsel_ui::Window& w, int id, unsigned periodMs) {
    SetTimer(hwnd(w.handle()), static_cast<UINT_PTR>(id), periodMs, nullptr);
}

void Win32WindowSystem::killTimer(glimsel_ui::Window& w, int id) {
    KillTimer(hwnd(w.handle()), static_cast<UINT_PTR>(id));
}

void Win32WindowSystem::postClose(glimsel_ui::Window& w) { PostMessageA(hwnd(w.handle()), WM_CLOSE, 0, 0); }

void Win32WindowSystem::postQuit(int exitCode) { PostQuitMessage(exitCode); }

int Win32WindowSystem::runMessageLoop() {
    MSG m;
    for (;;) {
        BOOL got = GetMessageA(&m, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(m.wParam);
        if (got == -1) return 0;
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

bool Win32WindowSystem::messageWaiting() {
    MSG m;
    return PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE) != 0;
}

bool Win32WindowSystem::dispatchOneMessage() {
    MSG m;
    // Never blocks: a message seen by messageWaiting may have been a synthesized one
    // that is gone by now.
    if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) return true;
    if (m.message == WM_QUIT) {
        lastQuitCode = static_cast<int>(m.wParam);
        return false;
    }
    // The sheet's keys (Tab, Enter, Escape, Ctrl+Tab) do what its own loop makes them do.
    if (propertySheet && (m.hwnd == propertySheet || IsChild(propertySheet, m.hwnd)) &&
        PropSheet_IsDialogMessage(propertySheet, &m)) {
        return true;
    }
    TranslateMessage(&m);
    DispatchMessageA(&m);
    return true;
}

void Win32WindowSystem::waitForMessage(uint32_t ms) {
    // Any message in the queue ends the wait, also one that a peek has seen already.
    MsgWaitForMultipleObjectsEx(0, nullptr, ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

uint32_t Win32WindowSystem::tickCount() { return GetTickCount(); }

Size Win32WindowSystem::screenSize() { return Size{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

std::unique_ptr<glimsel_ui::DeviceContext> Win32WindowSystem::getDC(glimsel_ui::Window& w) {
    HWND h = hwnd(w.handle());
    HDC dc = h ? GetDC(h) : nullptr;
    return std::make_unique<Win32DeviceContext>(*this, h, dc, true);
}

HPALETTE Win32WindowSystem::palette(const glimsel_ui::PaletteEntry* entries, int count) {
    if (!entries || count <= 0 || count > 256) return nullptr;
    bool same = drawingPalette && paletteEntries.size() == static_cast<size_t>(count) &&
                std::memcmp(paletteEntries.data(), entries, sizeof *entries * static_cast<size_t>(count)) == 0;
    if (same) return drawingPalette;
    if (drawingPalette) DeleteObject(drawingPalette);
    paletteEntries.assign(entries, entries + count);
    std::vector<BYTE> buffer(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * static_cast<size_t>(count));
    LOGPALETTE* logical = reinterpret_cast<LOGPALETTE*>(buffer.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(count);
    PALETTEENTRY* out = logical->palPalEntry;
    for (int i = 0; i < count; ++i) {
        out[i] = PALETTEENTRY{entries[i].red, entries[i].green, entries[i].blue, entries[i].flags};
    }
    drawingPalette = CreatePalette(logical);
    return drawingPalette;
}

}  // namespace glimsel_win32
