// The stretching copy of a DIB onto a 32-bit canvas, for platforms whose drawing layer
// has no DIB stretching call: it shows a DIB as that call does with DIB_RGB_COLORS,
// SRCCOPY and the COLORONCOLOR stretch mode.
#pragma once

#include <cstdint>

#include "imaging/Canvas.h"
#include "imaging/Dib.h"

namespace img_lib {

class _ImageInfo;

// Draws the whole DIB (header and colour table at `info`, `infoBytes` readable; pixel
// data at `bits`, `bitsBytes` readable) stretched into `target`, clipped to the canvas
// and to `clip` when given. Every header the platform call accepts is drawn: core, 40-byte,
// V4, V5 and larger headers; 1, 4 and 8 bits with colour tables, 16 and 32 bits plain or
// with bit fields, 24 bits, RLE8 and RLE4 (pixels the stream skips keep the canvas as it
// was); bottom-up and top-down rows. Returns false, having drawn nothing, for a DIB the
// platform call refuses or whose header claims more bytes than there are, and for an
// empty target; true otherwise, also when nothing of the target lies on the canvas.
// Nothing outside `infoBytes`, `bitsBytes` or the canvas is ever read or written.
bool drawDib(const Canvas& canvas, const Rect& target, const BITMAPINFO* info, uint32_t infoBytes,
             const void* bits, uint32_t bitsBytes, const Rect* clip = nullptr);

// The picture's width and height in rows as the drawing call sees them, from a core
// header's 16-bit fields as well as from the larger headers; false when the header is
// missing or declares no picture (no width, no height, absurd sizes).
bool dibSize(const BITMAPINFO* info, uint32_t infoBytes, int32_t& width, int32_t& height);

// Draws an image record's picture; false when it holds none.
bool drawImage(const Canvas& canvas, const Rect& target, const _ImageInfo& image, const Rect* clip = nullptr);

}  // namespace img_lib
