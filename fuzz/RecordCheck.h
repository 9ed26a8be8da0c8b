// What every picture reader's fuzz target asserts of a decode that succeeded.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "imaging/ImageInfo.h"

namespace fuzz_check {

// The record is complete: it has a header and rows, and its 24-bit rows, each padded to
// 4 bytes, lie inside its buffer. Returns the number of pixels.
inline uint64_t requireWholeRows(img_lib::_ImageInfo& image) {
    uint64_t width = static_cast<uint64_t>(image.width());
    uint64_t rows = static_cast<uint64_t>(image.height());
    if (!image.bits || !image.info || width == 0 || rows == 0 ||
        rows * ((3 * width + 3) & ~uint64_t(3)) > image.bitsBytes) {
        std::abort();
    }
    return width * rows;
}

}  // namespace fuzz_check
