#include "imaging/DibFormat.h"

#include <cstring>

#include "imaging/DibHeader.h"

namespace img_lib {

namespace {

// Never shown: a header the renderer cannot read only makes the draw return false.
constexpr char kShortHeader[] = "DIB header outside its bytes";

// Picks the layout from bit count and compression the way the platform's drawing call
// accepts them: palettes at 1, 4 and 8 bits, 16 and 32 bits plain or with bit fields,
// 24 bits plain, RLE only bottom-up and only at its own bit count.
bool chooseLayout(const DibHeader& h, bool topDown, DibLayout& layout) {
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

void readPalette(const ByteReader& in, const DibHeader& h, DibFormat& f) {
    uint32_t entries = 1u << h.bitCount;
    // A count of 0 means a full table; a larger count than the bit depth can index is
    // cut to what can be indexed.
    if (h.clrUsed != 0 && h.clrUsed < entries) entries = h.clrUsed;
    const uint32_t step = h.colourEntryBytes();
    in.require(h.size, uint64_t(entries) * step);
    for (uint32_t i = 0; i < entries; ++i) f.palette[i] = in.u24(uint64_t(h.size) + uint64_t(i) * step);
}

// Sets channel `c` from a mask already known to be one run of bits inside the pixel.
void setChannel(DibFormat& f, int c, uint32_t mask) {
    const int low = __builtin_ctz(mask);
    DibFormat::Channel& ch = f.channel[c];
    ch.mask = mask;
    ch.shift = static_cast<uint8_t>(low);
    ch.bits = static_cast<uint8_t>(__builtin_popcount(mask));
    ch.position = static_cast<uint8_t>(16 - 8 * c);
    if (ch.bits > 8) {
        f.wideChannels = true;
        return;
    }
    const int n = ch.bits;
    for (uint32_t v = 0; v < (1u << n); ++v) {
        // Repeat the bits downwards until all 8 are filled.
        uint32_t wide = 0;
        for (int s = 8 - n; s > -n; s -= n) wide |= s >= 0 ? v << s : v >> -s;
        ch.widen[v] = (wide & 0xFF) << ch.position;
    }
}

bool readMasks(const ByteReader& in, const DibHeader& h, DibFormat& f) {
    DibMasks m;
    if (h.compression != BI_BITFIELDS)
        m = h.bitCount == 16 ? DibMasks{0x7C00, 0x03E0, 0x001F} : DibMasks{0xFF0000, 0x00FF00, 0x0000FF};
    else
        m = readDibMasks(in, h.masksOffset());
    if (!validMasks(m, h.bitCount)) return false;
    f.wideChannels = false;
    setChannel(f, 0, m.red);
    setChannel(f, 1, m.green);
    setChannel(f, 2, m.blue);
    if (f.layout == DibLayout::Masked32 && m.red == 0xFF0000 && m.green == 0x00FF00 && m.blue == 0x0000FF)
        f.layout = DibLayout::Rgb32;
    return true;
}

bool readSize(const DibHeader& h, int32_t& width, int32_t& height) {
    if (h.width <= 0 || h.width > kMaxDibSide || h.height == 0 || h.rows() > kMaxDibSide) return false;
    width = static_cast<int32_t>(h.width);
    height = static_cast<int32_t>(h.rows());
    return true;
}

bool readFormat(const ByteReader& in, uint32_t bitsBytes, DibFormat& f) {
    const DibHeader h = readDibHeader(in, 0);
    if (!readSize(h, f.width, f.height)) return false;
    if (h.planes == 0) return false;
    f.topDown = h.height < 0;
    if (!chooseLayout(h, f.topDown, f.layout)) return false;

    std::memset(f.palette, 0, sizeof f.palette);
    if (h.bitCount <= 8) readPalette(in, h, f);
    if ((f.layout == DibLayout::Masked16 || f.layout == DibLayout::Masked32 || f.layout == DibLayout::Rgb32) &&
        !readMasks(in, h, f))
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
    const uint64_t stride = *dibRowBytes(f.width, h.bitCount);  // both small: no overflow
    const uint64_t total = stride * static_cast<uint64_t>(f.height);
    // Every row must be there; a cut-off picture is not drawn at all.
    if (total > bitsBytes) return false;
    f.stride = static_cast<uint32_t>(stride);
    f.dataBytes = static_cast<uint32_t>(total);
    return true;
}

}  // namespace

bool readDibSize(const BITMAPINFO* info, uint32_t infoBytes, int32_t& width, int32_t& height) {
    if (!info) return false;
    try {
        return readSize(readDibHeader(ByteReader(reinterpret_cast<const uint8_t*>(info), infoBytes, kShortHeader), 0),
                        width, height);
    } catch (const ImageException&) {
        return false;
    }
}

bool readDibFormat(const BITMAPINFO* info, uint32_t infoBytes, uint32_t bitsBytes, DibFormat& f) {
    if (!info) return false;
    try {
        return readFormat(ByteReader(reinterpret_cast<const uint8_t*>(info), infoBytes, kShortHeader), bitsBytes, f);
    } catch (const ImageException&) {
        return false;
    }
}

}  // namespace img_lib
