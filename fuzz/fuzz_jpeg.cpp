// libFuzzer target: any bytes through the JPEG adapter. A decode either fails with an
// ImageException or gives a complete record whose rows fit its buffer; its orientation
// tag, read from the same bytes, turns it without losing a pixel.
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "fuzz/RecordCheck.h"
#include "imaging/ExifOrientation.h"
#include "imaging/ImageInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT_MAX) return 0;
    try {
        torvik_lang::_Ref<img_lib::_ImageInfo> image =
            img_lib::loadImage(data, static_cast<int>(size), img_lib::IMAGE_JPEG, "fuzz");
        uint64_t pixels = fuzz_check::requireWholeRows(*image);
        // The upright choice's steps on the same bytes: the tag and the turned rows.
        img_lib::orientPicture(*image, img_lib::jpegOrientation(data, size));
        if (static_cast<uint64_t>(image->width()) * static_cast<uint64_t>(image->height()) != pixels) {
            std::abort();
        }
        image->freeImage();
    } catch (img_lib::ImageException&) {
    }
    return 0;
}
