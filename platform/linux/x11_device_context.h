// Drawing on one of our X windows. Every operation goes into the window's client-side
// image and is put on the window at once, only the rectangle it changed; text goes to
// the window directly in the server's default font. Drawing is clipped to the context's
// area (the whole window, or what a paint request repaints) and skipped once the
// window is gone.
#pragma once

#include "platform/WindowSystem.h"
#include "platform/linux/x11_window_system.h"

namespace glimsel_x11 {

class X11DeviceContext : public glimsel_ui::DeviceContext {
public:
    X11DeviceContext(XWindowSystem& system, glimsel_ui::NativeWindow window, const glimsel_ui::Rect& clip);

    // A true-colour display has no palette.
    void selectPalette(const glimsel_ui::PaletteEntry*, int) override {}
    void fillBlack(const glimsel_ui::Rect& r) override;
    glimsel_ui::Size textExtent(char const* text) override;
    void textOut(int x, int y, char const* text) override;
    void stretchDib(int x, int y, int width, int height, const BITMAPINFO* info, uint32_t infoBytes,
                    const void* bits, uint32_t bitsBytes) override;
    bool pixelsFor(const glimsel_ui::Rect& area, img_lib::Canvas& out) override;
    void showPixels(const glimsel_ui::Rect& area) override;
    void restorePixels(const glimsel_ui::Rect& area) override;

private:
    // The part of the window this context may draw on: its clip inside the window.
    glimsel_ui::Rect drawable(const XWindowSystem::Surface& s) const;

    XWindowSystem& system;
    glimsel_ui::NativeWindow window;
    glimsel_ui::Rect clip;
};

}  // namespace glimsel_x11
