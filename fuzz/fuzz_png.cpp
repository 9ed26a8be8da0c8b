// libFuzzer target: any bytes through the PNG reader. A decode either fails with an
// ImageException or gives a complete record whose rows fit its buffer.
#include <climits>
#include <cstdint>

#include "fuzz/RecordCheck.h"
#include "imaging/ImageInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT_MAX) return 0;
    try {
        torvik_lang::_Ref<img_lib::_ImageInfo> image =
            img_lib::loadImage(data, static_cast<int>(size), img_lib::IMAGE_PNG, "fuzz");
        fuzz_check::requireWholeRows(*image);
        image->freeImage();
    } catch (img_lib::ImageException&) {
    }
    return 0;
}
