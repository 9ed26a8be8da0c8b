// JPEG pictures made on the spot with libjpeg's compressor from known pixels, for the
// adapter's tests, its benchmark and the fuzzer's seeds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace jpeg_samples {

using Bytes = std::vector<uint8_t>;

enum class Space { Rgb, Gray, Cmyk, Ycck };

struct Picture {
    int width = 0;
    int height = 0;
    Space space = Space::Rgb;
    Bytes pixels;  // rows top-down, 3 (RGB), 1 (grey) or 4 (CMYK as stored) bytes a pixel

    int components() const;
    uint8_t* at(int x, int y) { return &pixels[(size_t(y) * width + x) * components()]; }
};

struct Options {
    int quality = 95;
    bool progressive = false;
    bool fullChroma = false;  // 4:4:4 instead of 4:2:0
};

Picture blank(int width, int height, Space space);
// Horizontal bands of 8 rows, each one colour of `bands` (cycled): every 8x8 block is
// flat, so the decode gives the colours back to within rounding.
Picture bands(int width, int height, Space space, const std::vector<std::vector<uint8_t>>& colours);
// Smooth gradients with some texture: compresses and decodes like a photograph.
Picture photoLike(int width, int height);

Bytes encode(const Picture& picture, const Options& options = {});

// A valid progressive colour picture of 569 scans, each refining one coefficient of
// one component.
Bytes encodeManyScans(int width, int height);

// A set of small pictures covering the kinds the adapter meets, named by kind.
struct Sample {
    std::string name;
    Bytes bytes;
};
std::vector<Sample> seedSamples();

}  // namespace jpeg_samples
