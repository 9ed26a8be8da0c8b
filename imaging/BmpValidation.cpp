#include "imaging/BmpValidation.h"

#include "imaging/Dib.h"
#include "imaging/ImageInfo.h"

namespace img_lib {

namespace {

constexpr char kCorruptHeader[] = "Corrupt bmp header";
constexpr char kUnknownHeaderSize[] = "Unknown bmp header size";
constexpr char kBadDimensions[] = "Invalid bitmap dimensions";
constexpr char kTooLarge[] = "Bitmap too large";
constexpr char kUnsupported[] = "Unsupported bmp format";
constexpr char kBadMasks[] = "Invalid bitfield masks";
constexpr char kTableOutside[] = "Color table outside the file";
constexpr char kDataOutside[] = "Bitmap data outside the file";
constexpr char kRleOutside[] = "RLE data runs past the end of the file";

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
// OS/2 2.x: the first 40 bytes read as a BITMAPINFOHEADER, but compression 3 and 4
// mean Huffman 1D and RLE24 there, which no DIB drawer shows.
constexpr uint32_t kOs2HeaderSize = 64;

bool isKnownHeaderSize(uint32_t size) {
    switch (size) {
        case kCoreHeaderSize:  // OS/2 1.x
        case kInfoHeaderSize:
        case 52:               // with the colour masks
        case 56:               // with the colour and alpha masks
        case kOs2HeaderSize:
        case 108:              // V4
        case 124:              // V5
            return true;
    }
    return false;
}

// Little-endian reads that can never pass the end of the bytes: a read outside is a
// corrupt header, whatever the caller checked before.
class ByteReader {
public:
    ByteReader(const uint8_t* bytes, uint32_t size) : size(size), bytes(bytes) {}

    bool contains(uint64_t offset, uint64_t length) const {
        return offset <= size && length <= size - offset;
    }
    uint16_t u16(uint64_t offset) const {
        const uint8_t* p = at(offset, 2);
        return static_cast<uint16_t>(p[0] | p[1] << 8);
    }
    uint32_t u32(uint64_t offset) const {
        const uint8_t* p = at(offset, 4);
        return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
               static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    }
    int32_t i32(uint64_t offset) const { return static_cast<int32_t>(u32(offset)); }

    const uint32_t size;

private:
    const uint8_t* at(uint64_t offset, uint64_t length) const {
        if (!contains(offset, length)) throw ImageException(kCorruptHeader);
        return bytes + offset;
    }
    const uint8_t* bytes;
};

// What the drawer will read, as the headers declare it.
struct DibLayout {
    uint32_t headerSize = 0;
    int64_t width = 0;
    int64_t height = 0;  // signed: negative for rows stored top-down
    uint32_t planes = 0;
    uint32_t bitCount = 0;
    uint32_t compression = BI_RGB;
    uint32_t colorsUsed = 0;
    uint32_t sizeImage = 0;  // the length of RLE data; 0 for all bytes there are
    uint32_t bitsOffset = 0;
};

DibLayout readInfoHeader(const ByteReader& in) {
    DibLayout dib;
    constexpr uint32_t base = kBmpFileHeaderSize;
    dib.bitsOffset = in.u32(10);
    dib.headerSize = in.u32(base);
    if (!isKnownHeaderSize(dib.headerSize)) throw ImageException(kUnknownHeaderSize);
    if (!in.contains(base, dib.headerSize)) throw ImageException(kCorruptHeader);
    if (dib.headerSize == kCoreHeaderSize) {
        dib.width = in.u16(base + 4);
        dib.height = in.u16(base + 6);
        dib.planes = in.u16(base + 8);
        dib.bitCount = in.u16(base + 10);
        return dib;
    }
    dib.width = in.i32(base + 4);
    dib.height = in.i32(base + 8);
    dib.planes = in.u16(base + 12);
    dib.bitCount = in.u16(base + 14);
    dib.compression = in.u32(base + 16);
    dib.sizeImage = in.u32(base + 20);
    dib.colorsUsed = in.u32(base + 32);
    return dib;
}

void checkDimensions(const DibLayout& dib) {
    int64_t rows = dib.height < 0 ? -dib.height : dib.height;  // 64-bit: INT_MIN is safe
    if (dib.width <= 0 || rows == 0) throw ImageException(kBadDimensions);
    if (dib.width > kMaxBmpDimension || rows > kMaxBmpDimension) throw ImageException(kTooLarge);
}

bool isPixelDepth(uint32_t bitCount, bool core) {
    switch (bitCount) {
        case 1: case 4: case 8: case 24: return true;
        case 16: case 32: return !core;
    }
    return false;
}

// Only what the platform's DIB drawing shows on a screen: 2- and 64-bit pixels,
// Huffman, RLE24, embedded JPEG/PNG and alpha bit fields are refused, as is RLE with
// top-down rows, which has no defined meaning.
void checkFormat(const DibLayout& dib) {
    bool core = dib.headerSize == kCoreHeaderSize;
    if (dib.planes != 1 || !isPixelDepth(dib.bitCount, core)) throw ImageException(kUnsupported);
    bool bottomUp = dib.height > 0;
    switch (dib.compression) {
        case BI_RGB: return;
        case BI_RLE8: if (dib.bitCount == 8 && bottomUp) return; break;
        case BI_RLE4: if (dib.bitCount == 4 && bottomUp) return; break;
        case BI_BITFIELDS:
            if ((dib.bitCount == 16 || dib.bitCount == 32) && dib.headerSize != kOs2HeaderSize) return;
            break;
    }
    throw ImageException(kUnsupported);
}

bool isContiguous(uint32_t mask) {
    if (mask == 0) return false;
    uint32_t low = mask & (~mask + 1);   // the lowest set bit
    uint64_t filled = uint64_t(mask) + low;  // a run of ones becomes one carry bit
    return (filled & (filled - 1)) == 0;
}

// Each colour channel needs its own run of bits inside the pixel; a zero, broken or
// shared mask leaves a colour undefined.
void checkMasks(const ByteReader& in, const DibLayout& dib) {
    if (dib.compression != BI_BITFIELDS) return;
    constexpr uint64_t at = kBmpFileHeaderSize + kInfoHeaderSize;
    if (!in.contains(at, 12)) throw ImageException(kCorruptHeader);
    uint32_t red = in.u32(at), green = in.u32(at + 4), blue = in.u32(at + 8);
    uint64_t pixelBits = (uint64_t(1) << dib.bitCount) - 1;
    for (uint32_t mask : {red, green, blue}) {
        if (!isContiguous(mask) || (mask & ~pixelBits) != 0) throw ImageException(kBadMasks);
    }
    if ((red & green) || (red & blue) || (green & blue)) throw ImageException(kBadMasks);
}

// The whole table that the header declares must be inside the bytes. More entries
// than the depth can index are tolerated (the drawer uses the first ones), and so is
// a table that runs into the pixel data: both occur in files that draw fine.
void checkColourTable(const ByteReader& in, const DibLayout& dib) {
    bool core = dib.headerSize == kCoreHeaderSize;
    uint64_t start = uint64_t(kBmpFileHeaderSize) + dib.headerSize;
    if (dib.headerSize == kInfoHeaderSize && dib.compression == BI_BITFIELDS) start += 12;
    uint64_t entries = dib.colorsUsed;
    if (entries == 0 && dib.bitCount <= 8) entries = uint64_t(1) << dib.bitCount;
    uint64_t entrySize = core ? 3 : 4;
    if (!in.contains(start, entries * entrySize)) throw ImageException(kTableOutside);
}

// Uncompressed rows are read in full. RLE data is decoded by the drawer with its own
// bounds, but the drawer refuses a stream whose declared length passes the end.
void checkPixelData(const ByteReader& in, const DibLayout& dib) {
    if (dib.bitsOffset >= in.size) throw ImageException(kDataOutside);
    if (dib.compression == BI_RLE8 || dib.compression == BI_RLE4) {
        if (dib.sizeImage > in.size - dib.bitsOffset) throw ImageException(kRleOutside);
        return;
    }
    std::optional<uint64_t> row = dibRowBytes(dib.width, dib.bitCount);
    uint64_t rows = static_cast<uint64_t>(dib.height < 0 ? -dib.height : dib.height);
    uint64_t total = 0;
    if (!row || __builtin_mul_overflow(*row, rows, &total)) throw ImageException(kTooLarge);
    if (!in.contains(dib.bitsOffset, total)) throw ImageException(kDataOutside);
}

}  // namespace

std::optional<uint64_t> dibRowBytes(int64_t width, int64_t bitCount) {
    if (width < 0 || bitCount < 0) return std::nullopt;
    uint64_t bits = 0;
    if (__builtin_mul_overflow(static_cast<uint64_t>(width), static_cast<uint64_t>(bitCount), &bits) ||
        __builtin_add_overflow(bits, uint64_t(31), &bits)) {
        return std::nullopt;
    }
    return bits / 32 * 4;
}

void checkBmpLayout(const uint8_t* bytes, uint32_t size) {
    ByteReader in(bytes, size);
    DibLayout dib = readInfoHeader(in);
    checkDimensions(dib);
    checkFormat(dib);
    checkMasks(in, dib);
    checkColourTable(in, dib);
    checkPixelData(in, dib);
}

}  // namespace img_lib
