// Reads the input as a BMP file and draws it at 100 % and at a scale taken from the input
// onto a small canvas, at a position that may lie partly off it. The same bytes are also
// handed to the renderer directly, without the reader's checks, since the renderer must
// stay inside its bytes on its own (GIF and JPEG records reach it without that reader).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "foundation/lang/Throwable.h"
#include "imaging/DibRenderer.h"
#include "imaging/ImageInfo.h"

using namespace img_lib;

namespace {

constexpr int kCanvasWidth = 64, kCanvasHeight = 48;

uint32_t tail32(const uint8_t* data, size_t size) {
    uint32_t v = 0;
    for (size_t i = size >= 4 ? size - 4 : 0; i < size; ++i) v = v << 8 | data[i];
    return v;
}

void drawBoth(const BITMAPINFO* info, uint32_t infoBytes, const void* bits, uint32_t bitsBytes, uint32_t knobs) {
    std::vector<uint32_t> pixels(kCanvasWidth * kCanvasHeight, 0x123456);
    Canvas canvas;
    canvas.pixels = pixels.data();
    canvas.width = canvas.stride = kCanvasWidth;
    canvas.height = kCanvasHeight;
    int32_t width = 17, height = 13;
    dibSize(info, infoBytes, width, height);
    Rect target;
    target.x = static_cast<int>(knobs & 63) - 32;
    target.y = static_cast<int>(knobs >> 6 & 63) - 32;
    target.width = width;
    target.height = height;
    drawDib(canvas, target, info, infoBytes, bits, bitsBytes);
    const int64_t percent = 1 + (knobs >> 12) % 400;
    target.width = static_cast<int>(width * percent / 100);
    target.height = static_cast<int>(height * percent / 100);
    Rect clip{static_cast<int>(knobs >> 20 & 31), static_cast<int>(knobs >> 25 & 31), 40, 30};
    drawDib(canvas, target, info, infoBytes, bits, bitsBytes, knobs & 1 ? &clip : nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 24)) return 0;
    const uint32_t knobs = tail32(data, size);
    try {
        torvik_lang::_Ref<_ImageInfo> image = loadImage(data, static_cast<int>(size), IMAGE_BMP, "fuzz");
        if (image && image->bits) {
            drawBoth(image->info, image->infoBytes, image->bits, image->bitsBytes, knobs);
            image->freeImage();
        }
    } catch (const ImageException&) {
    }
    if (size >= 14) {
        uint32_t offset = static_cast<uint32_t>(data[10] | data[11] << 8 | data[12] << 16) | uint32_t(data[13]) << 24;
        if (offset > size) offset = static_cast<uint32_t>(size);
        drawBoth(reinterpret_cast<const BITMAPINFO*>(data + 14), static_cast<uint32_t>(size - 14), data + offset,
                 static_cast<uint32_t>(size - offset), knobs);
    }
    return 0;
}
