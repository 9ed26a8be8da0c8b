// The orientation tag of a photo (EXIF tag 0x0112) and the rows turned the way it asks.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/ImageInfo.h"

namespace img_lib {

// The orientation 1 to 8 that the first APP1 "Exif" segment of the JPEG bytes names; 1
// ("as stored") when there is none or anything about it is damaged. Reads nothing
// outside the `size` bytes at `data`, and nothing past the segment it parses.
int jpegOrientation(const uint8_t* data, size_t size);
// The same for the JPEG file at `path`; 1 when it cannot be read.
int jpegFileOrientation(char const* path);

// Turns and flips the pixels of a 24-bit DIB record so that orientation `orientation`
// shows as the camera was held; width and height swap for 5 to 8. Orientation 1, an
// unknown value or a record of another layout leaves the record as it is.
void orientPicture(_ImageInfo& image, int orientation);

}  // namespace img_lib
