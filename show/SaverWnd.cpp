#include "show/SaverWnd.h"

using glimsel_ui::MouseButton;
using glimsel_ui::Rect;
using glimsel_ui::SystemCommand;
using glimsel_ui::WindowSystem;

CSaverWnd::CSaverWnd(IImageSourceProvider& provider, bool testMode) : CDrawWnd(provider, true), testMode(testMode) {}

bool CSaverWnd::createSaverWindow() {
    if (testMode) {
        return createWindow(glimsel_ui::EXSTYLE_NONE, glimsel_ui::STYLE_OVERLAPPED | glimsel_ui::STYLE_VISIBLE,
                            Rect{0, 0, 800, 600}, 0);
    }
    glimsel_ui::Size screen = WindowSystem::current().screenSize();
    return createWindow(glimsel_ui::EXSTYLE_TOPMOST, glimsel_ui::STYLE_POPUP | glimsel_ui::STYLE_VISIBLE,
                        Rect{0, 0, screen.width, screen.height}, 0);
}

bool CSaverWnd::onSysCommand(SystemCommand command) {
    // A second request to start a saver, and the window menu's close, are swallowed.
    return command == SystemCommand::ScreenSave || command == SystemCommand::Close;
}

void CSaverWnd::onDestroy() { WindowSystem::current().postQuit(0); }

bool CSaverWnd::onSetCursor() {
    // No cursor over the window: the pointer is invisible.
    return true;
}

bool CSaverWnd::onNcActivate(bool active) {
    // Refuses the deactivation of the frame.
    return active;
}

void CSaverWnd::onActivate(bool active) {
    if (!active && !testMode) postClose();
}

void CSaverWnd::onActivateApp(bool active) {
    if (!active && !testMode) postClose();
}

void CSaverWnd::onMouseMove(int x, int y) {
    // The platform reports the pointer once when the window appears under it: that
    // first report only records. Any later position that differs by even one pixel
    // from it ends a saver run.
    if (lastMousePos.x == -1 && lastMousePos.y == -1) {
        lastMousePos = MousePos{x, y};
        return;
    }
    if (!testMode && (x != lastMousePos.x || y != lastMousePos.y)) postClose();
}

void CSaverWnd::onButtonDown(MouseButton button) {
    if (button == MouseButton::Left || !testMode) postClose();
}

void CSaverWnd::onKeyDown(bool) {
    if (!testMode) postClose();
}
