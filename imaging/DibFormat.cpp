#include "imaging/DibFormat.h"

#include <cstring>

namespace img_lib {

namespace {

constexpr uint32_t kCoreHeaderSize = 12;   // BITMAPCOREHEADER
constexpr uint32_t kInfoHeaderSize = 40;   // BITMAPINFOHEADER
constexpr uint32_t kMasksInHeaderSize = 52;  // from BITMAPV2INFOHEADER on, the masks are header fields

uint32_t le16(const uint8_t* p) { return static_cast<uint32_t>(p[0] | p[1] << 8); }
uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// The header fields the renderer needs, whichever header variant held them.
struct Header {
    uint32_t size;
    int64_t width;
    int64_t height;
    uint32_t planes;
    uint32_t bitCount;
    uint32_t compression;
    uint32_t sizeImage;
    uint32_t clrUsed;
    uint32_t colourEntryBytes;  // 3 for the core header's RGBTRIPLE, else 4
};

bool readHeader(const uint8_t* p, uint32_t infoBytes, Header& h) {
    if (infoBytes < 4) return false;
    h.size = le32(p);
    if (h.size == kCoreHeaderSize) {
        if (infoBytes < kCoreHeaderSize) return false;
        h.width = le16(p + 4);
        h.height = le16(p + 6);  // unsigned: core DIBs are always bottom-up
        h.planes = le16(p + 8);
        h.bitCount = le16(p + 10);
        h.compression = BI_RGB;
        h.sizeImage = 0;
        h.clrUsed = 0;  // a core colour table always has 2^bits entries
        h.colourEntryBytes = 3;
        return true;
    }
    // Every larger header starts with the 40-byte one; what lies beyond it (V4 and V5
    // colour-space fields, an OS/2 2.x tail) does not change how the pixels are drawn.
    if (h.size < kInfoHeaderSize || infoBytes < kInfoHeaderSize) return false;
    h.width = static_cast<int32_t>(le32(p + 4));
    h.height = static_cast<int32_t>(le32(p + 8));
    h.planes = le16(p + 12);
    h.bitCount = le16(p + 14);
    h.compression = le32(p + 16);
    h.sizeImage = le32(p + 20);
    h.clrUsed = le32(p + 32);
    h.colourEntryBytes = 4;
    return true;
}

// Picks the layout from bit count and compression the way the platform's drawing call
// accepts them: palettes at 1, 4 and 8 bits, 16 and 32 bits plain or with bit fields,
// 24 bits plain, RLE only bottom-up and only at its own bit count.
bool chooseLayout(const Header& h, bool topDown, DibLayout& layout) {
    switch (h.compression) {
        case BI_RGB:
            switch (h.bitCount) {
                case 1: layout = DibLayout::Indexed1; return true;
                case 4: layout = DibLayout::Indexed4; return true;
                case 8: layout = DibLayout::Indexed8; return true;
                case 16: layout = DibLayout::Masked16; return true;
                case 24: layout = DibLayout::Rgb24; return true;
                case 32: layout = DibLayout::Rgb32; return true;
            }
            return false;
        case BI_BITFIELDS:
            if (h.bitCount == 16) { layout = DibLayout::Masked16; return true; }
            if (h.bitCount == 32) { layout = DibLayout::Masked32; return true; }
            return false;
        case BI_RLE8:
            if (h.bitCount != 8 || topDown) return false;
            layout = DibLayout::Rle8;
            return true;
        case BI_RLE4:
            if (h.bitCount != 4 || topDown) return false;
            layout = DibLayout::Rle4;
            return true;
    }
    // BI_JPEG and BI_PNG are only for printers; anything else is unknown.
    return false;
}

bool readPalette(const uint8_t* p, uint32_t infoBytes, const Header& h, DibFormat& f) {
    uint32_t entries = 1u << h.bitCount;
    // A count of 0 means a full table; a larger count than the bit depth can index is
    // cut to what can be indexed.
    if (h.clrUsed != 0 && h.clrUsed < entries) entries = h.clrUsed;
    uint64_t end = static_cast<uint64_t>(h.size) + static_cast<uint64_t>(entries) * h.colourEntryBytes;
    if (end > infoBytes) return false;
    const uint8_t* c = p + h.size;
    for (uint32_t i = 0; i < entries; ++i, c += h.colourEntryBytes)
        f.palette[i] = static_cast<uint32_t>(c[0]) | static_cast<uint32_t>(c[1]) << 8 | static_cast<uint32_t>(c[2]) << 16;
    return true;
}

int countTrailingZeros(uint32_t v) {
    int n = 0;
    while (!(v & 1)) { v >>= 1; ++n; }
    return n;
}

int countBits(uint32_t v) {
    int n = 0;
    for (; v; v &= v - 1) ++n;
    return n;
}

// A channel mask must be one non-empty run of bits inside the pixel.
bool setChannel(DibFormat& f, int c, uint32_t mask, int bitCount) {
    if (mask == 0) return false;
    if (bitCount < 32 && (mask >> bitCount) != 0) return false;
    int low = countTrailingZeros(mask);
    uint32_t run = mask >> low;
    if ((run & (run + 1)) != 0) return false;
    DibFormat::Channel& ch = f.channel[c];
    ch.mask = mask;
    ch.shift = static_cast<uint8_t>(low);
    ch.bits = static_cast<uint8_t>(countBits(mask));
    ch.position = static_cast<uint8_t>(16 - 8 * c);
    if (ch.bits > 8) {
        f.wideChannels = true;
        return true;
    }
    const int n = ch.bits;
    for (uint32_t v = 0; v < (1u << n); ++v) {
        // Repeat the bits downwards until all 8 are filled.
        uint32_t wide = 0;
        for (int s = 8 - n; s > -n; s -= n) wide |= s >= 0 ? v << s : v >> -s;
        ch.widen[v] = (wide & 0xFF) << ch.position;
    }
    return true;
}

bool readMasks(const uint8_t* p, uint32_t infoBytes, const Header& h, DibFormat& f) {
    uint32_t r, g, b;
    if (h.compression != BI_BITFIELDS) {
        if (h.bitCount == 16) { r = 0x7C00; g = 0x03E0; b = 0x001F; }
        else { r = 0xFF0000; g = 0x00FF00; b = 0x0000FF; }
    } else {
        // After a 40-byte header the three masks take the place of the colour table;
        // larger headers carry them as fields at the same offset 40.
        uint64_t at = h.size >= kMasksInHeaderSize ? kInfoHeaderSize : h.size;
        if (at + 12 > infoBytes) return false;
        r = le32(p + at);
        g = le32(p + at + 4);
        b = le32(p + at + 8);
        if ((r & g) | (r & b) | (g & b)) return false;
    }
    int bits = static_cast<int>(h.bitCount);
    f.wideChannels = false;
    if (!setChannel(f, 0, r, bits) || !setChannel(f, 1, g, bits) || !setChannel(f, 2, b, bits)) return false;
    if (f.layout == DibLayout::Masked32 && r == 0xFF0000 && g == 0x00FF00 && b == 0x0000FF)
        f.layout = DibLayout::Rgb32;
    return true;
}

}  // namespace

bool readDibSize(const BITMAPINFO* info, uint32_t infoBytes, int32_t& width, int32_t& height) {
    Header h;
    if (!info || !readHeader(reinterpret_cast<const uint8_t*>(info), infoBytes, h)) return false;
    if (h.width <= 0 || h.width > kMaxDibSide || h.height == 0 || h.height > kMaxDibSide ||
        h.height < -static_cast<int64_t>(kMaxDibSide))
        return false;
    width = static_cast<int32_t>(h.width);
    height = static_cast<int32_t>(h.height < 0 ? -h.height : h.height);
    return true;
}

bool readDibFormat(const BITMAPINFO* info, uint32_t infoBytes, uint32_t bitsBytes, DibFormat& f) {
    if (!info) return false;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(info);
    Header h;
    if (!readHeader(p, infoBytes, h)) return false;
    if (!readDibSize(info, infoBytes, f.width, f.height)) return false;
    if (h.planes == 0) return false;
    f.topDown = h.height < 0;
    if (!chooseLayout(h, f.topDown, f.layout)) return false;

    std::memset(f.palette, 0, sizeof f.palette);
    if (h.bitCount <= 8 && !readPalette(p, infoBytes, h, f)) return false;
    if ((f.layout == DibLayout::Masked16 || f.layout == DibLayout::Masked32 || f.layout == DibLayout::Rgb32) &&
        !readMasks(p, infoBytes, h, f))
        return false;

    if (f.layout == DibLayout::Rle8 || f.layout == DibLayout::Rle4) {
        // The stream is biSizeImage bytes long. A stream that claims more bytes than
        // there are is refused rather than read short; a size of 0 (left out by some
        // writers) takes every byte there is.
        if (h.sizeImage > bitsBytes) return false;
        f.stride = 0;
        f.dataBytes = h.sizeImage ? h.sizeImage : bitsBytes;
        return true;
    }
    uint64_t stride = (static_cast<uint64_t>(f.width) * h.bitCount + 31) / 32 * 4;
    uint64_t total = stride * static_cast<uint64_t>(f.height);
    // Every row must be there; a cut-off picture is not drawn at all.
    if (total > bitsBytes) return false;
    f.stride = static_cast<uint32_t>(stride);
    f.dataBytes = static_cast<uint32_t>(total);
    return true;
}

}  // namespace img_lib
