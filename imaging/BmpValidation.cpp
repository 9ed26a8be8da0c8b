#include "imaging/BmpValidation.h"

#include "imaging/DibHeader.h"

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

// OS/2 2.x: the first 40 bytes read as a BITMAPINFOHEADER, but compression 3 and 4
// mean Huffman 1D and RLE24 there, which no DIB drawer shows.
constexpr uint32_t kOs2HeaderSize = 64;

bool isKnownHeaderSize(uint32_t size) {
    switch (size) {
        case kCoreHeaderSize:
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

// What the drawer will read, as the headers declare it.
struct BmpLayout {
    DibHeader header;
    uint32_t bitsOffset = 0;
};

BmpLayout readInfoHeader(const ByteReader& in) {
    constexpr uint32_t base = kBmpFileHeaderSize;
    BmpLayout bmp;
    bmp.bitsOffset = in.u32(10);
    const uint32_t headerSize = in.u32(base);
    if (!isKnownHeaderSize(headerSize)) throw ImageException(kUnknownHeaderSize);
    in.require(base, headerSize);
    bmp.header = readDibHeader(in, base);
    return bmp;
}

void checkDimensions(const DibHeader& dib) {
    if (dib.width <= 0 || dib.rows() == 0) throw ImageException(kBadDimensions);
    if (dib.width > kMaxBmpDimension || dib.rows() > kMaxBmpDimension) throw ImageException(kTooLarge);
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
void checkFormat(const DibHeader& dib) {
    if (dib.planes != 1 || !isPixelDepth(dib.bitCount, dib.core())) throw ImageException(kUnsupported);
    bool bottomUp = dib.height > 0;
    switch (dib.compression) {
        case BI_RGB: return;
        case BI_RLE8: if (dib.bitCount == 8 && bottomUp) return; break;
        case BI_RLE4: if (dib.bitCount == 4 && bottomUp) return; break;
        case BI_BITFIELDS:
            if ((dib.bitCount == 16 || dib.bitCount == 32) && dib.size != kOs2HeaderSize) return;
            break;
    }
    throw ImageException(kUnsupported);
}

// Each colour channel needs its own run of bits inside the pixel; a zero, broken or
// shared mask leaves a colour undefined.
void checkMasks(const ByteReader& in, const DibHeader& dib) {
    if (dib.compression != BI_BITFIELDS) return;
    if (!validMasks(readDibMasks(in, kBmpFileHeaderSize + dib.masksOffset()), dib.bitCount))
        throw ImageException(kBadMasks);
}

// The whole table that the header declares must be inside the bytes. More entries
// than the depth can index are tolerated (the drawer uses the first ones), and so is
// a table that runs into the pixel data: both occur in files that draw fine.
void checkColourTable(const ByteReader& in, const DibHeader& dib) {
    uint64_t start = uint64_t(kBmpFileHeaderSize) + dib.size;
    if (dib.size == kInfoHeaderSize && dib.compression == BI_BITFIELDS) start += 12;
    uint64_t entries = dib.clrUsed;
    if (entries == 0 && dib.bitCount <= 8) entries = uint64_t(1) << dib.bitCount;
    if (!in.contains(start, entries * dib.colourEntryBytes())) throw ImageException(kTableOutside);
}

// Uncompressed rows are read in full; RLE data is decoded by the drawer with its own
// bounds, so only its start has to be inside.
void checkPixelData(const ByteReader& in, const BmpLayout& bmp) {
    const DibHeader& dib = bmp.header;
    if (bmp.bitsOffset >= in.size()) throw ImageException(kDataOutside);
    // RLE data is decoded by the drawer with its own bounds, but the drawer refuses a
    // stream whose declared length passes the end.
    if (dib.compression == BI_RLE8 || dib.compression == BI_RLE4) {
        if (dib.sizeImage > in.size() - bmp.bitsOffset) throw ImageException(kRleOutside);
        return;
    }
    std::optional<uint64_t> row = dibRowBytes(dib.width, dib.bitCount);
    uint64_t total = 0;
    if (!row || __builtin_mul_overflow(*row, static_cast<uint64_t>(dib.rows()), &total)) throw ImageException(kTooLarge);
    if (!in.contains(bmp.bitsOffset, total)) throw ImageException(kDataOutside);
}

}  // namespace

void checkBmpLayout(const uint8_t* bytes, uint32_t size) {
    const ByteReader in(bytes, size, kCorruptHeader);
    const BmpLayout bmp = readInfoHeader(in);
    checkDimensions(bmp.header);
    checkFormat(bmp.header);
    checkMasks(in, bmp.header);
    checkColourTable(in, bmp.header);
    checkPixelData(in, bmp);
}

}  // namespace img_lib
