// PNG pictures made on the spot with libpng's writer, for the reader's tests, the
// engine's and the fuzzer's seeds.
#pragma once

#include <cstdint>
#include <vector>

namespace png_samples {

using Bytes = std::vector<uint8_t>;

struct Picture {
    int width = 0;
    int height = 0;
    int colorType = 2;  // libpng's PNG_COLOR_TYPE_*: 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA
    int bitDepth = 8;
    bool interlaced = false;
    Bytes pixels;  // rows top-down as libpng takes them for the colour type and depth
};

// A picture whose every pixel is `sample` (its bytes as one pixel of the colour type).
Picture filled(int width, int height, int colorType, const Bytes& sample, int bitDepth = 8);
Bytes encode(const Picture& picture);
// A well-formed header claiming `width` x `height` followed by a few image data bytes:
// what a decompression bomb looks like before its data.
Bytes bomb(uint32_t width, uint32_t height);

}  // namespace png_samples
