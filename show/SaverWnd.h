// The window of a real saver run: a drawing window over the whole primary screen, on
// top of everything, with the pointer hidden, that ends the run at the first sign of
// user activity. In test mode it is an ordinary 800 by 600 window that only a left
// click ends.
#pragma once

#include "show/DrawWnd.h"

class CSaverWnd : public CDrawWnd {
public:
    // `testMode` (the "t" switch) makes an ordinary window that only a left click ends.
    CSaverWnd(IImageSourceProvider& provider, bool testMode);

    // Creates the full-screen (or test) window; false when that fails.
    bool createSaverWindow();

    struct MousePos {
        int x;
        int y;
    };
    // The first reported pointer position; (-1, -1) until it arrives.
    MousePos lastMousePos{-1, -1};

    bool onSysCommand(glimsel_ui::SystemCommand command) override;
    void onDestroy() override;
    bool onSetCursor() override;
    bool onNcActivate(bool active) override;
    void onActivate(bool active) override;
    void onActivateApp(bool active) override;
    void onMouseMove(int x, int y) override;
    void onButtonDown(glimsel_ui::MouseButton button) override;
    void onKeyDown(bool systemKey) override;

private:
    // Every sign of activity posts a close request: several may be posted before the
    // first is handled, and the later ones find no window.
    const bool testMode;
};
