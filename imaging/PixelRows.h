// Straight conversions of whole pixel runs to canvas pixels (0x00RRGGBB), for draws at
// 100 % width where every source pixel lands on exactly one canvas pixel.
#pragma once

#include <cstddef>
#include <cstdint>

namespace img_lib {

// `n` pixels of B, G, R bytes at `src`. Reads exactly 3 * n bytes.
void convertRow24(const uint8_t* src, uint32_t* out, size_t n);

// `n` pixels of B, G, R, X bytes at `src`; the fourth byte is dropped. Reads 4 * n bytes.
void convertRow32(const uint8_t* src, uint32_t* out, size_t n);

// A 256-entry palette of canvas pixels split into its blue, green and red bytes, for
// looking up whole runs of 8-bit indices at once.
struct PalettePlanes {
    alignas(64) uint8_t blue[256];
    alignas(64) uint8_t green[256];
    alignas(64) uint8_t red[256];
};
void splitPalette(const uint32_t* palette, PalettePlanes& planes);

// `n` pixels of a palette picture's row, from pixel `first` on, each looked up in
// `palette`, which has an entry for every index the bit depth can hold. Reads only the
// bytes that hold those pixels. At 8 bits `planes` holds the same palette split.
void convertIndexedRow8(const uint8_t* row, size_t first, const uint32_t* palette, const PalettePlanes& planes,
                        uint32_t* out, size_t n);
void convertIndexedRow4(const uint8_t* row, size_t first, const uint32_t* palette, uint32_t* out, size_t n);
void convertIndexedRow1(const uint8_t* row, size_t first, const uint32_t* palette, uint32_t* out, size_t n);

}  // namespace img_lib
