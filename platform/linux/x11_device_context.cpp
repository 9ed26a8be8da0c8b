#include "platform/linux/x11_device_context.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "imaging/DibRenderer.h"
#include "platform/linux/x11_display.h"
#include "platform/linux/x11_framebuffer.h"
#include "platform/linux/x11_window_system.h"

namespace glimsel_x11 {

using glimsel_ui::Rect;

namespace {

Rect intersect(const Rect& a, const Rect& b) {
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (r.right <= r.left || r.bottom <= r.top) return Rect{};
    return r;
}

// A rectangle from a position and a size that may not fit in int arithmetic.
Rect fromSize(int x, int y, int width, int height) {
    long long right = static_cast<long long>(x) + std::max(width, 0);
    long long bottom = static_cast<long long>(y) + std::max(height, 0);
    return Rect{x, y, static_cast<int>(std::min<long long>(right, INT_MAX)),
                static_cast<int>(std::min<long long>(bottom, INT_MAX))};
}

int textLength(char const* text) { return static_cast<int>(std::min<size_t>(std::strlen(text), INT_MAX)); }

}  // namespace

X11DeviceContext::X11DeviceContext(XWindowSystem& system, glimsel_ui::NativeWindow window, const Rect& clip)
    : system(system), window(window), clip(clip) {}

Rect X11DeviceContext::drawable(const XWindowSystem::Surface& s) const {
    return intersect(clip, Rect{0, 0, s.width, s.height});
}

void X11DeviceContext::fillBlack(const Rect& r) {
    XWindowSystem::Surface s;
    if (!system.surface(window, s) || !s.framebuffer) return;
    Rect area = intersect(r, drawable(s));
    if (area.width() <= 0) return;
    img_lib::Canvas c = s.framebuffer->canvas();
    for (int y = area.top; y < area.bottom; ++y) {
        uint32_t* row = c.pixels + static_cast<size_t>(y) * static_cast<size_t>(c.stride);
        std::fill(row + area.left, row + area.right, 0u);
    }
    s.framebuffer->put(s.xid, area);
}

glimsel_ui::Size X11DeviceContext::textExtent(char const* text) {
    XFontStruct* font = system.x().font;
    if (!text || !font) return glimsel_ui::Size{};
    return glimsel_ui::Size{XTextWidth(font, text, textLength(text)), font->ascent + font->descent};
}

void X11DeviceContext::textOut(int x, int y, char const* text) {
    XWindowSystem::Surface s;
    if (!text || !system.surface(window, s)) return;
    X11Display& xd = system.x();
    Rect area = drawable(s);
    if (area.width() <= 0) return;
    XRectangle r{static_cast<short>(area.left), static_cast<short>(area.top), static_cast<unsigned short>(area.width()),
                 static_cast<unsigned short>(area.height())};
    XSetClipRectangles(xd.display, xd.textGC, 0, 0, &r, 1, Unsorted);
    int ascent = xd.font ? xd.font->ascent : 0;
    // Drawn with the background: black text on an opaque white box.
    XDrawImageString(xd.display, s.xid, xd.textGC, x, y + ascent, text, textLength(text));
    XFlush(xd.display);
}

void X11DeviceContext::stretchDib(int x, int y, int width, int height, const BITMAPINFO* info, uint32_t infoBytes,
                                  const void* bits, uint32_t bitsBytes) {
    XWindowSystem::Surface s;
    if (width <= 0 || height <= 0 || !system.surface(window, s) || !s.framebuffer) return;
    Rect area = drawable(s);
    img_lib::Rect limit{area.left, area.top, area.width(), area.height()};
    if (limit.width <= 0) return;
    if (!img_lib::drawDib(s.framebuffer->canvas(), img_lib::Rect{x, y, width, height}, info, infoBytes, bits,
                          bitsBytes, &limit)) {
        return;  // a failed draw is not reported
    }
    Rect changed = intersect(fromSize(x, y, width, height), area);
    if (changed.width() > 0) s.framebuffer->put(s.xid, changed);
}

bool X11DeviceContext::pixelsFor(const Rect& area, img_lib::Canvas& out) {
    XWindowSystem::Surface s;
    if (area.width() <= 0 || area.height() <= 0 || !system.surface(window, s) || !s.framebuffer) return false;
    Rect inside = drawable(s);
    if (area.left < inside.left || area.top < inside.top || area.right > inside.right || area.bottom > inside.bottom)
        return false;
    img_lib::Canvas c;
    if (!s.framebuffer->paddedPixels(c)) return false;
    out = img_lib::Canvas{c.pixels + static_cast<size_t>(area.top) * static_cast<size_t>(c.stride) + area.left,
                          area.width(), area.height(), c.stride};
    return true;
}

void X11DeviceContext::showPixels(const Rect& area) {
    XWindowSystem::Surface s;
    if (!system.surface(window, s) || !s.framebuffer) return;
    Rect changed = intersect(area, drawable(s));
    if (changed.width() > 0) s.framebuffer->put(s.xid, changed);
}

void X11DeviceContext::restorePixels(const Rect& area) {
    XWindowSystem::Surface s;
    if (!system.surface(window, s) || !s.framebuffer) return;
    Rect inside = intersect(area, Rect{0, 0, s.width, s.height});
    if (inside.width() > 0) s.framebuffer->restore(s.xid, inside);
}

}  // namespace glimsel_x11
