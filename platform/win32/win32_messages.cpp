// The window procedure of our windows: one small handler per message. A handler that
// may end in the window's destruction (and the object's deletion) touches neither
// afterwards; the default processing then only sees the handle.
#include <windows.h>
#include <windowsx.h>

#include "platform/win32/win32_device_context.h"
#include "platform/win32/win32_window_system.h"

namespace glimsel_win32 {

using glimsel_ui::MouseButton;
using glimsel_ui::SystemCommand;
using glimsel_ui::Window;

LRESULT CALLBACK Win32WindowSystem::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w;
    if (message == WM_NCCREATE) {
        // From the first message on the window knows its handle.
        w = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
        setNative(*w, native(hwnd));
    } else {
        w = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!w) return DefWindowProcA(hwnd, message, wParam, lParam);
    auto& system = static_cast<Win32WindowSystem&>(WindowSystem::current());
    return system.handle(*w, hwnd, message, wParam, lParam);
}

LRESULT Win32WindowSystem::handle(Window& w, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: return onCreate(w);
        case WM_PAINT: return onPaint(w, hwnd);
        case WM_TIMER: w.onTimer(static_cast<int>(wParam)); return 0;
        case WM_SIZE: w.onSize(LOWORD(lParam), HIWORD(lParam)); break;
        case WM_CLOSE: w.onClose(); return 0;
        case WM_DESTROY: w.onDestroy(); return 0;
        case WM_NCDESTROY: return onNcDestroy(w, hwnd);
        case WM_MOUSEMOVE: w.onMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); break;
        case WM_LBUTTONDOWN: w.onButtonDown(MouseButton::Left); break;
        case WM_MBUTTONDOWN: w.onButtonDown(MouseButton::Middle); break;
        case WM_RBUTTONDOWN: w.onButtonDown(MouseButton::Right); break;
        case WM_KEYDOWN: w.onKeyDown(false); break;
        case WM_SYSKEYDOWN: w.onKeyDown(true); break;
        case WM_NCACTIVATE: return onNcActivate(w, hwnd, wParam, lParam);
        case WM_ACTIVATE: w.onActivate(LOWORD(wParam) != WA_INACTIVE); break;
        case WM_ACTIVATEAPP: w.onActivateApp(wParam != FALSE); break;
        case WM_SETCURSOR: return onSetCursor(w, hwnd, wParam, lParam);
        case WM_SYSCOMMAND: return onSysCommand(w, hwnd, wParam, lParam);
        default: break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT Win32WindowSystem::onCreate(Window& w) {
    if (w.onCreate() != -1) return 0;
    // A refused creation: the system destroys the window, and no handler of the object
    // is called any more.
    SetWindowLongPtrA(hwnd(w.handle()), GWLP_USERDATA, 0);
    setNative(w, 0);
    return -1;
}

LRESULT Win32WindowSystem::onPaint(Window& w, HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    {
        Win32DeviceContext context(*this, hwnd, dc, false);
        w.onPaint(context);
    }
    EndPaint(hwnd, &ps);
    return 0;
}

LRESULT Win32WindowSystem::onNcDestroy(Window& w, HWND hwnd) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    setNative(w, 0);
    // The end of the main window ends the message loop.
    if (mainWindow == &w) {
        mainWindow = nullptr;
        PostQuitMessage(0);
    }
    w.postNcDestroy();
    return 0;
}

LRESULT Win32WindowSystem::onNcActivate(Window& w, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (!w.onNcActivate(wParam != FALSE)) return FALSE;  // the deactivation is refused
    return DefWindowProcA(hwnd, WM_NCACTIVATE, wParam, lParam);
}

LRESULT Win32WindowSystem::onSetCursor(Window& w, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (w.onSetCursor()) {
        SetCursor(nullptr);
        return TRUE;
    }
    return DefWindowProcA(hwnd, WM_SETCURSOR, wParam, lParam);
}

LRESULT Win32WindowSystem::onSysCommand(Window& w, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    SystemCommand command = SystemCommand::Other;
    switch (wParam & 0xFFF0) {
        case SC_SCREENSAVE: command = SystemCommand::ScreenSave; break;
        case SC_CLOSE: command = SystemCommand::Close; break;
        default: break;
    }
    if (w.onSysCommand(command)) return 0;
    return DefWindowProcA(hwnd, WM_SYSCOMMAND, wParam, lParam);
}

}  // namespace glimsel_win32
