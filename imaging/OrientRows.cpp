// Turning a decoded photo's rows as its orientation tag asks. Only the upright choice
// calls this, so a decode without it stays exactly as the decoder made it.
#include <cstring>
#include <utility>

#include "imaging/ExifOrientation.h"
#include "imaging/PixelBlockPool.h"

namespace img_lib {

using torvik_lang::osFree;

namespace {

struct Source {
    uint32_t x;
    uint32_t y;
};

// Where the pixel drawn at (x, y) of the turned picture lies in the stored one, for a
// stored picture of `w` by `h` pixels.
Source sourceOf(int orientation, uint32_t x, uint32_t y, uint32_t w, uint32_t h) {
    switch (orientation) {
        case 2: return {w - 1 - x, y};          // mirrored
        case 3: return {w - 1 - x, h - 1 - y};  // upside down
        case 4: return {x, h - 1 - y};          // mirrored upside down
        case 5: return {y, x};                  // transposed
        case 6: return {y, h - 1 - x};          // turned a quarter clockwise to show
        case 7: return {w - 1 - y, h - 1 - x};  // transverse
        case 8: return {w - 1 - y, x};          // turned a quarter anticlockwise to show
        default: return {x, y};
    }
}

uint64_t strideOf(uint64_t width) { return (3 * width + 3) & ~uint64_t(3); }

}  // namespace

void orientPicture(_ImageInfo& image, int orientation) {
    if (orientation < 2 || orientation > 8 || !image.bits || !image.info) return;
    // Only these records own their rows as a block of their own (a GIF's share its
    // header's block, a BMP's lie in the file).
    if (image.type != IMAGE_JPEG && image.type != IMAGE_PNG) return;
    BITMAPINFOHEADER& header = image.info->bmiHeader;
    if (image.infoBytes < 40 || header.biSize < 40 || header.biBitCount != 24 || header.biCompression != BI_RGB ||
        header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == INT32_MIN) {
        return;
    }
    const uint32_t w = static_cast<uint32_t>(header.biWidth);
    const bool topDown = header.biHeight < 0;
    const uint32_t h = static_cast<uint32_t>(topDown ? -int64_t(header.biHeight) : header.biHeight);
    const uint64_t inStride = strideOf(w);
    if (inStride * h > image.bitsBytes) return;
    const bool swap = orientation >= 5;
    const uint32_t outW = swap ? h : w;
    const uint32_t outH = swap ? w : h;
    const uint64_t outStride = strideOf(outW);
    const uint64_t outBytes = outStride * outH;
    if (outBytes > UINT32_MAX || outW > uint32_t(INT32_MAX) || outH > uint32_t(INT32_MAX)) return;
    size_t capacity = 0;
    auto* out = static_cast<unsigned char*>(takePixelBlock(static_cast<size_t>(outBytes), capacity));
    if (!out) throw ImageException("Not enough memory");
    // Every byte is written below, the padding at the rows' ends included.
    std::memset(out, 0, static_cast<size_t>(outBytes));

    // Rows are addressed top to bottom whichever way the record stores them.
    auto storedRow = [&](uint32_t y) { return image.bits + (topDown ? y : h - 1 - y) * inStride; };
    for (uint32_t y = 0; y < outH; ++y) {
        unsigned char* dst = out + (topDown ? y : outH - 1 - y) * outStride;
        for (uint32_t x = 0; x < outW; ++x, dst += 3) {
            const Source s = sourceOf(orientation, x, y, w, h);
            std::memcpy(dst, storedRow(s.y) + size_t(s.x) * 3, 3);
        }
    }
    if (image.pooledBytes) {
        givePixelBlock(image.bits, image.pooledBytes);
    } else {
        osFree(image.bits);
    }
    image.bits = out;
    image.pooledBytes = capacity;
    image.bitsBytes = static_cast<uint32_t>(outBytes);
    // A picture decoded at a reduced scale stands for a larger one, turned the same way.
    if (swap) std::swap(image.reducedFromWidth, image.reducedFromHeight);
    header.biWidth = static_cast<LONG>(outW);
    header.biHeight = topDown ? -static_cast<LONG>(outH) : static_cast<LONG>(outH);
    header.biSizeImage = 0;
}

}  // namespace img_lib
