// GDI drawing into one of our windows: a device context of the window (GetDC) or of a
// paint request (BeginPaint). Pictures go to the system's own DIB stretching.
#pragma once

#include <windows.h>

#include "platform/WindowSystem.h"

namespace glimsel_win32 {

class Win32WindowSystem;

class Win32DeviceContext : public glimsel_ui::DeviceContext {
public:
    // With `release` the context came from GetDC and is released at the end.
    Win32DeviceContext(Win32WindowSystem& system, HWND window, HDC dc, bool release);
    ~Win32DeviceContext() override;
    Win32DeviceContext(const Win32DeviceContext&) = delete;
    Win32DeviceContext& operator=(const Win32DeviceContext&) = delete;

    void selectPalette(const glimsel_ui::PaletteEntry* entries, int count) override;
    void fillBlack(const glimsel_ui::Rect& r) override;
    glimsel_ui::Size textExtent(char const* text) override;
    void textOut(int x, int y, char const* text) override;
    void stretchDib(int x, int y, int width, int height, const BITMAPINFO* info, uint32_t infoBytes, const void* bits,
                    uint32_t bitsBytes) override;
    // Pictures go through the system's DIB stretching only.
    bool pixelsFor(const glimsel_ui::Rect&, img_lib::Canvas&) override { return false; }
    void showPixels(const glimsel_ui::Rect&) override {}
    void restorePixels(const glimsel_ui::Rect&) override {}

private:
    Win32WindowSystem& system;
    HWND window;
    HDC dc;
    bool release;
    HPALETTE previousPalette = nullptr;
};

}  // namespace glimsel_win32
