// libFuzzer target: any bytes through the PNG reader. A decode either fails with an
// ImageException or gives a complete record whose rows fit its buffer.
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "imaging/ImageInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT_MAX) return 0;
    try {
        torvik_lang::_Ref<img_lib::_ImageInfo> image =
            img_lib::loadImage(data, static_cast<int>(size), img_lib::IMAGE_PNG, "fuzz");
        uint64_t width = static_cast<uint64_t>(image->width());
        uint64_t rows = static_cast<uint64_t>(image->height());
        if (!image->bits || !image->info || width == 0 || rows == 0 ||
            rows * ((3 * width + 3) & ~uint64_t(3)) > image->bitsBytes) {
            std::abort();
        }
        image->freeImage();
    } catch (img_lib::ImageException&) {
    }
    return 0;
}
