// libFuzzer target: any bytes through the GIF decoder. A decode either fails with an
// ImageException or gives a complete record whose rows fit its block.
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "imaging/ImageInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT_MAX) return 0;
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
