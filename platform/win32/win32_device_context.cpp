#include "platform/win32/win32_device_context.h"

#include <climits>
#include <cstring>
#include <memory>

#include "imaging/DibFormat.h"
#include "platform/win32/win32_window_system.h"

namespace glimsel_win32 {

namespace {

int textLength(char const* text) { return static_cast<int>(std::min<size_t>(std::strlen(text), INT_MAX)); }

}  // namespace

Win32DeviceContext::Win32DeviceContext(Win32WindowSystem& system, HWND window, HDC dc, bool release)
    : system(system), window(window), dc(dc), release(release) {}

Win32DeviceContext::~Win32DeviceContext() {
    if (!dc) return;
    if (previousPalette) SelectPalette(dc, previousPalette, FALSE);
    if (release) ReleaseDC(window, dc);
}

void Win32DeviceContext::selectPalette(const glimsel_ui::PaletteEntry* entries, int count) {
    HPALETTE palette = system.palette(entries, count);
    if (!dc || !palette) return;
    // A foreground palette, so that pictures look right on 256-colour displays.
    HPALETTE previous = SelectPalette(dc, palette, FALSE);
    if (!previousPalette) previousPalette = previous;
    RealizePalette(dc);
}

void Win32DeviceContext::fillBlack(const glimsel_ui::Rect& r) {
    if (!dc) return;
    RECT area{r.left, r.top, r.right, r.bottom};
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

glimsel_ui::Size Win32DeviceContext::textExtent(char const* text) {
    SIZE size = {};
    if (!dc || !text || !GetTextExtentPoint32A(dc, text, textLength(text), &size)) return glimsel_ui::Size{};
    return glimsel_ui::Size{size.cx, size.cy};
}

void Win32DeviceContext::textOut(int x, int y, char const* text) {
    if (dc && text) TextOutA(dc, x, y, text, textLength(text));
}

void Win32DeviceContext::stretchDib(int x, int y, int width, int height, const BITMAPINFO* info, uint32_t infoBytes,
                                    const void* bits, uint32_t bitsBytes) {
    if (!dc || !info || !bits || width <= 0 || height <= 0) return;
    // The system reads as much as the header claims: a header whose table or pixels
    // would reach past the bytes at hand is not drawn.
    auto format = std::make_unique<img_lib::DibFormat>();
    if (!img_lib::readDibFormat(info, infoBytes, bitsBytes, *format)) return;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, x, y, width, height, 0, 0, format->width, format->height, bits, info, DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace glimsel_win32
