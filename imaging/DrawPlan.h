// Where a stretched draw lands on the canvas and which source pixel each canvas pixel
// shows: the nearest-pixel mapping shared by the renderer's uncompressed and RLE paths.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/Canvas.h"

namespace img_lib {

struct DrawPlan {
    // The canvas columns [x0, x1) and rows [y0, y1) that the draw touches.
    int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    // For each of those columns, the source column; for each row, the source row
    // (counted from the top of the picture).
    std::vector<uint32_t> srcX;
    std::vector<uint32_t> srcY;

    int columns() const { return x1 - x0; }
    int rows() const { return y1 - y0; }
};

// Maps the target rectangle `target` (on the canvas) to a source of sourceWidth by
// sourceHeight pixels, clipped to the canvas and to `clip` when given. False when
// nothing of the target lands on the canvas.
//
// The mapping is the platform's COLORONCOLOR stretch: per axis a Bresenham walk that
// picks, for each target pixel t of T (counted from the target's edge) from a source of S:
//   enlarging (T >= S): the source pixel under the target pixel's centre, a centre on a
//     boundary going to the lower pixel: ceil((2t + 1) S / 2T) - 1 (2 to 4: 0 0 1 1);
//   reducing (T < S): the source pixels whose centres fall in the target pixel merge, and
//     of those the first row shows (the others are deleted) but the last column, since
//     each column overwrites the one before: rows floor((2tS + T) / 2T), columns
//     floor((2(t + 1)S + T) / 2T) - 1 (4 to 2: rows 0 2, columns 1 3).
// It is built from the whole, unclipped rectangles, so a clipped draw shows exactly the
// pixels that the unclipped draw shows there.
bool planDraw(const Canvas& canvas, const Rect& target, const Rect* clip, int32_t sourceWidth,
              int32_t sourceHeight, DrawPlan& plan);

}  // namespace img_lib
