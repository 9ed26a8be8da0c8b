// The RLE8 and RLE4 path of the DIB renderer.
#pragma once

#include <cstdint>

#include "imaging/Canvas.h"
#include "imaging/DibFormat.h"
#include "imaging/DrawPlan.h"

namespace img_lib {

// Decodes the RLE stream at `bits` (format.dataBytes long) and draws it as `plan` says.
// Canvas pixels whose source pixel the stream never sets keep their colour.
void drawRle(const Canvas& canvas, const DibFormat& format, const uint8_t* bits, const DrawPlan& plan);

}  // namespace img_lib
