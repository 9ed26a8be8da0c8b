// The header of a device-independent bitmap, read once for the BMP reader's checks and
// for the renderer: the fields that say how the pixels are laid out, and the bit-field
// masks of 16- and 32-bit pictures.
#pragma once

#include <cstdint>
#include <optional>

#include "imaging/ByteReader.h"
#include "imaging/Dib.h"

namespace img_lib {

constexpr uint32_t kCoreHeaderSize = 12;     // BITMAPCOREHEADER (OS/2 1.x)
constexpr uint32_t kInfoHeaderSize = 40;     // BITMAPINFOHEADER
constexpr uint32_t kMasksInHeaderSize = 52;  // from BITMAPV2INFOHEADER on, the masks are header fields

struct DibHeader {
    uint32_t size = 0;
    int64_t width = 0;
    int64_t height = 0;  // negative for rows stored top-down; a core header's never is
    uint32_t planes = 0;
    uint32_t bitCount = 0;
    uint32_t compression = BI_RGB;
    uint32_t sizeImage = 0;
    uint32_t clrUsed = 0;  // a core colour table always has 2^bits entries: 0

    bool core() const { return size == kCoreHeaderSize; }
    int64_t rows() const { return height < 0 ? -height : height; }  // 64-bit: INT_MIN is safe
    uint32_t colourEntryBytes() const { return core() ? 3 : 4; }   // RGBTRIPLE or RGBQUAD
    // Where the three masks start, from the header's start: after a 40-byte header they
    // take the place of the colour table; larger headers carry them as fields at 40.
    uint64_t masksOffset() const { return size >= kMasksInHeaderSize ? kInfoHeaderSize : size; }
};

// Reads the header at `at`. Every header but the core one starts with the 40 bytes of
// BITMAPINFOHEADER; what lies beyond them (masks, V4 and V5 colour-space fields, an OS/2
// 2.x tail) does not change the layout. A header cut short, or a size field that names
// no header (below 40 and not 12), throws the reader's exception.
DibHeader readDibHeader(const ByteReader& in, uint64_t at);

// The red, green and blue masks at `offset`; throws the reader's exception where the
// bytes end first.
struct DibMasks {
    uint32_t red, green, blue;
};
DibMasks readDibMasks(const ByteReader& in, uint64_t offset);

// Whether each mask is one non-empty run of bits inside a pixel of `bitCount` bits and
// no two masks share a bit; otherwise a colour is undefined.
bool validMasks(const DibMasks& masks, uint32_t bitCount);

// The length in bytes of one row of `width` pixels of `bitCount` bits, padded to 4 bytes;
// empty when the arithmetic overflows or an argument is negative.
std::optional<uint64_t> dibRowBytes(int64_t width, int64_t bitCount);

}  // namespace img_lib
