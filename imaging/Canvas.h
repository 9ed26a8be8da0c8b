// A 32-bit drawing surface and the rectangles drawn on it.
#pragma once

#include <cstdint>

namespace img_lib {

// Pixels hold the value 0x00RRGGBB, that is the bytes B, G, R, X in memory: the layout of
// a 32-bit X11 image and of a 32-bit Windows DIB section. `stride` counts pixels (not
// bytes) from the start of one row to the start of the next.
struct Canvas {
    uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

}  // namespace img_lib
