// Checks that a BMP file's device-independent bitmap can be drawn straight from the
// file's bytes without reading past them.
//
// The BMP reader hands the file's own header, colour table and rows to the drawer, so
// everything the drawer will read has to lie inside the bytes before a record exists.
#pragma once

#include <cstdint>

#include "imaging/DibHeader.h"

namespace img_lib {

// The largest width or height of a BMP picture that is drawn; anything larger is a
// lying header (no screen saver picture is 65536 pixels wide).
constexpr int64_t kMaxBmpDimension = int64_t(1) << 16;

// Size of the file header in front of the bitmap information.
constexpr uint32_t kBmpFileHeaderSize = 14;

// Checks the bitmap information and the pixel data of a whole BMP file of `size` bytes
// whose file header (signature and declared size) is already known to be good. Throws
// ImageException naming the first fault: the header, the colour table or the pixel rows
// outside the bytes, absurd dimensions, or a format the drawer cannot show.
void checkBmpLayout(const uint8_t* bytes, uint32_t size);

}  // namespace img_lib
