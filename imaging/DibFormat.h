// The checked description of a DIB's pixel layout, read from its header once per draw.
#pragma once

#include <cstdint>

#include "imaging/Dib.h"

namespace img_lib {

enum class DibLayout : uint8_t {
    Indexed1,
    Indexed4,
    Indexed8,
    Masked16,  // 16 bits, 5-5-5 by default or with bit-field masks
    Rgb24,
    Rgb32,     // 32 bits with the channels in the usual bytes (alpha or unused byte ignored)
    Masked32,  // 32 bits with other bit-field masks
    Rle8,
    Rle4,
};

// The widest and tallest DIB drawn. Uncompressed pictures are bounded by their bytes
// anyway; the limit keeps every coordinate product far from 64-bit overflow and refuses
// RLE headers that claim absurd sizes for a few bytes of stream.
constexpr int32_t kMaxDibSide = 1 << 20;

struct DibFormat {
    DibLayout layout = DibLayout::Rgb24;
    int32_t width = 0;
    int32_t height = 0;  // in rows, always positive
    bool topDown = false;
    uint32_t stride = 0;     // bytes from one row to the next (uncompressed layouts)
    uint32_t dataBytes = 0;  // bytes that may be read at the pixel data
    // Colour table as 0x00RRGGBB; every entry past the DIB's own table is black, so any
    // index of 8 bits or fewer can be looked up without a check.
    uint32_t palette[256];
    // Bit-field channels, red, green and blue. A channel of up to 8 bits contributes
    // widen[(pixel & mask) >> shift] to the pixel value, its bits repeated downwards to
    // fill 8 (5-bit 31 becomes 255). A wider channel v of `bits` bits becomes
    // (v * 255 + 2^(bits-1)) >> bits, the rounded 8-bit value, shifted into place.
    struct Channel {
        uint32_t mask;
        uint8_t shift;
        uint8_t bits;
        uint8_t position;  // 16 for red, 8 for green, 0 for blue
        uint32_t widen[256];
    };
    Channel channel[3];
    bool wideChannels = false;  // whether any channel is wider than 8 bits

    // The first byte of the row shown at `row` (0 = top), for uncompressed layouts.
    const uint8_t* rowAt(const uint8_t* bits, int32_t row) const {
        uint64_t stored = topDown ? static_cast<uint64_t>(row) : static_cast<uint64_t>(height - 1 - row);
        return bits + stored * stride;
    }
};

// Reads the header at `info` (infoBytes readable) of a DIB whose pixel data has
// `bitsBytes` readable bytes. False when the platform's drawing call refuses the DIB
// (compressed with JPEG or PNG, an unknown bit count or compression, bad masks, top-down
// RLE, no width or height) or when the header claims more bytes than there are.
bool readDibFormat(const BITMAPINFO* info, uint32_t infoBytes, uint32_t bitsBytes, DibFormat& format);

// The width and the height in rows (always positive) that the header at `info` declares,
// read from whichever header variant it is; false when there is no such header.
bool readDibSize(const BITMAPINFO* info, uint32_t infoBytes, int32_t& width, int32_t& height);

}  // namespace img_lib
