// libFuzzer target: any bytes through the GIF decoder. A decode either fails with an
// ImageException or gives a complete record whose rows fit its block.
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "imaging/ImageInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT_MAX) return 0;
    // Screens above four megapixels are left out: zero-filling their bitmaps would cost
    // most of the fuzzer's time, and the unit tests cover the size limits.
    if (size >= 10 && uint32_t(data[6] | data[7] << 8) * uint32_t(data[8] | data[9] << 8) > (1u << 22)) return 0;
    try {
        torvik_lang::_Ref<img_lib::_ImageInfo> image =
            img_lib::loadImage(data, static_cast<int>(size), img_lib::IMAGE_GIF, "fuzz");
        const BITMAPINFOHEADER& h = image->info->bmiHeader;
        uint64_t stride = (static_cast<uint64_t>(h.biWidth) * h.biBitCount + 31) / 32 * 4;
        if (!image->bits || image->type != img_lib::IMAGE_GIF ||
            stride * static_cast<uint64_t>(h.biHeight) > image->bitsBytes) {
            std::abort();
        }
        image->freeImage();
    } catch (img_lib::ImageException&) {
    }
    return 0;
}
