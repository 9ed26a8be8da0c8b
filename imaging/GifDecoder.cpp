// The GIF decoder: every image of a GIF 87a or 89a file, in file order, drawn into one
// bitmap of the logical screen's size at 1, 4 or 8 bits per pixel. Extensions are skipped
// unread, so there is no transparency, disposal or timing; a local colour table replaces
// the first entries of the bitmap's one table and so recolours earlier images as well.
//
// The bitmap is one block: the header, room for 256 colours, and the rows (bottom row
// first) right after the first 2^bpp colour entries.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "foundation/lang/Memory.h"
#include "imaging/DecodeBudget.h"
#include "imaging/ByteReader.h"
#include "imaging/GifLzw.h"
#include "imaging/ImageInfo.h"
#include "imaging/PixelBlockPool.h"

namespace img_lib {

using torvik_lang::osAlloc;
using torvik_lang::osFree;

namespace {

// The block holds the header and 256 colour entries besides the rows.
constexpr uint32_t kBlockExtra = 1064;
constexpr uint32_t kHeaderBytes = 40;
// The most pixels all images of one file may hold together: every image is decoded
// and drawn in full, so thousands of large images with no data would cost time without
// end.
constexpr uint64_t kMaxImagePixelsInAll = uint64_t(1) << 28;
// What the index buffer of one image costs at most, besides its pixels: the roots in
// front of them and the slack behind. While it grows, the old buffer lives on beside
// the new one, so an image is counted at twice its size.
constexpr uint64_t kIndexBufferExtra = 4096 + 16;
constexpr LONG kPelsPerMeter = 2953;  // 75 dots per inch
constexpr unsigned kMaxRowPixels = 65536;  // widths are 16-bit numbers

constexpr char kEof[] = "EOF not yet expected";

[[noreturn]] void failEof() { throw ImageException(kEof); }

// The decoding in progress. The block belongs to it until the record takes it over, so a
// failure part-way frees it.
struct GifContext {
    GifInput in;
    uint8_t* block = nullptr;
    uint32_t blockBytes = 0;
    size_t blockCapacity = 0;  // as the pixel block pool reports it
    // Whether the rows hold their first content yet: they come uninitialised, and every
    // byte that no image writes is zeroed once, before the first image is drawn.
    bool rowsReady = false;
    BITMAPINFOHEADER* header = nullptr;
    RGBQUAD* colours = nullptr;
    uint8_t* rows = nullptr;
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    int bpp = 0;
    uint32_t stride = 0;
    GifLzwDecoder lzw;
    uint8_t* scratch = nullptr;  // one row of indices, for images whose data ends early
    uint64_t imagePixels = 0;    // the pixels of all images so far

    ~GifContext() {
        givePixelBlock(block, blockCapacity);
        osFree(scratch);
    }
};

// The next `n` bytes, read as fields; a file that ends inside them is refused.
ByteReader readFields(GifContext& gif, size_t n) {
    if (gif.in.left() < n) failEof();
    ByteReader fields(gif.in.data + gif.in.pos, n, kEof);
    gif.in.pos += n;
    return fields;
}

void readSignature(GifContext& gif) {
    uint8_t sig[6] = {};
    size_t got = gif.in.read(sig, sizeof sig);
    if (std::memcmp(sig, "GIF", 3) != 0) throw ImageException("No GIF file");
    if (got < sizeof sig) failEof();
    if (std::memcmp(sig + 3, "87a", 3) != 0 && std::memcmp(sig + 3, "89a", 3) != 0) {
        // What was found is shown as text: printable characters as they are, any other
        // byte (a zero included) as \xNN.
        char found[3][5];
        for (int i = 0; i < 3; ++i) {
            uint8_t c = sig[3 + i];
            if (c >= 0x20 && c < 0x7F && c != '\\') {
                std::snprintf(found[i], sizeof found[i], "%c", c);
            } else {
                std::snprintf(found[i], sizeof found[i], "\\x%02X", c);
            }
        }
        char text[48];
        std::snprintf(text, sizeof text, "Unknown GIF-Version: %s%s%s", found[0], found[1], found[2]);
        throw ImageException(text);
    }
}

// Bits per pixel from the size field of the screen's colour table, whether or not the
// table is present.
int bitsForTableSize(int g) { return g == 0 ? 1 : g <= 3 ? 4 : 8; }

void allocateBitmap(GifContext& gif, int g) {
    gif.bpp = bitsForTableSize(g);
    uint64_t stride = (static_cast<uint64_t>(gif.screenWidth) * gif.bpp + 31) / 32 * 4;
    uint64_t rowBytes = stride * static_cast<uint64_t>(gif.screenHeight);
    if (rowBytes + kBlockExtra > kDecodeMemoryBudget) {
        refuseTooLarge(static_cast<uint64_t>(gif.screenWidth), static_cast<uint64_t>(gif.screenHeight),
                       rowBytes + kBlockExtra);
    }
    gif.blockBytes = static_cast<uint32_t>(rowBytes) + kBlockExtra;
    // At 8 bits an image may be decoded straight into the rows; the LZW reader then keeps
    // its roots behind them.
    const size_t lzwRoom = gif.bpp == 8 ? kGifIndexSlack + kGifRootBytes : 0;
    gif.block = static_cast<uint8_t*>(takePixelBlock(gif.blockBytes + lzwRoom, gif.blockCapacity));
    if (!gif.block) throw ImageException("Zu wenig Speicher f\xFCr DIB vorhanden!");
    gif.stride = static_cast<uint32_t>(stride);
    // Header and colour table start out zero; the rows wait for the first image, and the
    // room after them (the part of the 256 colours' room that the rows do not use) is
    // zeroed now.
    const uint32_t rowsStart = kHeaderBytes + 4 * (1u << gif.bpp);
    std::memset(gif.block, 0, rowsStart);
    std::memset(gif.block + rowsStart + rowBytes, 0, gif.blockBytes - rowsStart - static_cast<size_t>(rowBytes));

    BITMAPINFOHEADER* h = reinterpret_cast<BITMAPINFOHEADER*>(gif.block);
    h->biSize = kHeaderBytes;
    h->biWidth = gif.screenWidth;
    h->biHeight = gif.screenHeight;
    h->biPlanes = 1;
    h->biBitCount = static_cast<WORD>(gif.bpp);
    h->biCompression = BI_RGB;
    h->biSizeImage = static_cast<DWORD>(rowBytes);
    h->biXPelsPerMeter = kPelsPerMeter;
    h->biYPelsPerMeter = kPelsPerMeter;
    h->biClrUsed = 1u << gif.bpp;
    h->biClrImportant = 0;  // no table read yet
    gif.header = h;
    gif.colours = reinterpret_cast<RGBQUAD*>(gif.block + kHeaderBytes);
    gif.rows = gif.block + kHeaderBytes + 4 * h->biClrUsed;
}

void readColourTable(GifContext& gif, uint32_t n) {
    const ByteReader rgb = readFields(gif, 3 * n);
    for (uint32_t i = 0; i < n; ++i) gif.colours[i] = RGBQUAD{rgb.u8(3 * i + 2), rgb.u8(3 * i + 1), rgb.u8(3 * i), 0};
}

void readScreen(GifContext& gif) {
    const ByteReader d = readFields(gif, 7);
    gif.screenWidth = d.u16(0);
    gif.screenHeight = d.u16(2);
    const uint8_t flags = d.u8(4);  // background index and aspect ratio are not used
    allocateBitmap(gif, flags & 7);
    if (flags & 0x80) {
        uint32_t n = 2u << (flags & 7);
        gif.header->biClrImportant = n;
        readColourTable(gif, n);
    }
}

void skipExtension(GifContext& gif) {
    gif.in.readByte();  // the label
    for (;;) {
        int length = gif.in.readByte();
        if (length <= 0) return;
        gif.in.pos += length < static_cast<int>(gif.in.left()) ? static_cast<size_t>(length) : gif.in.left();
    }
}

// Packs `count` indices into a row of `bpp` bits per pixel. Indices are used as they stand:
// a value too wide for the depth spills into its neighbours' bits.
void packRow(uint8_t* dst, const uint8_t* src, uint32_t count, int bpp) {
    if (bpp == 8) {
        std::memcpy(dst, src, count);
    } else if (bpp == 4) {
        uint32_t pairs = count / 2;
        for (uint32_t i = 0; i < pairs; ++i) dst[i] = static_cast<uint8_t>(src[2 * i] << 4 | src[2 * i + 1]);
        if (count & 1) dst[pairs] = static_cast<uint8_t>(src[count - 1] << 4);
    } else {
        uint32_t groups = count / 8;
        for (uint32_t i = 0; i < groups; ++i) {
            const uint8_t* p = src + 8 * i;
            dst[i] = static_cast<uint8_t>(p[0] << 7 | p[1] << 6 | p[2] << 5 | p[3] << 4 | p[4] << 3 |
                                          p[5] << 2 | p[6] << 1 | p[7]);
        }
        uint32_t rest = count & 7;
        if (rest) {
            const uint8_t* p = src + 8 * groups;
            unsigned byte = 0;
            for (uint32_t k = 0; k < rest; ++k) byte |= static_cast<unsigned>(p[k]) << (7 - k);
            dst[groups] = static_cast<uint8_t>(byte);
        }
    }
}

// Where row `row` of an interlaced image of `height` rows comes in the stream: passes of
// every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
uint32_t interlacedPosition(uint32_t row, uint32_t height) {
    uint32_t pass1 = (height + 7) / 8;
    uint32_t pass2 = (height + 3) / 8;
    uint32_t pass3 = (height + 1) / 4;
    if (row % 8 == 0) return row / 8;
    if (row % 8 == 4) return pass1 + row / 8;
    if (row % 4 == 2) return pass1 + pass2 + row / 4;
    return pass1 + pass2 + pass3 + row / 2;
}

// Zeroes the bytes of every row from `from` on, and marks the rows ready.
void zeroRows(GifContext& gif, size_t from) {
    const size_t height = static_cast<size_t>(gif.screenHeight);
    if (from == 0) {
        std::memset(gif.rows, 0, gif.stride * height);
    } else if (from < gif.stride) {
        for (size_t y = 0; y < height; ++y) std::memset(gif.rows + y * gif.stride + from, 0, gif.stride - from);
    }
    gif.rowsReady = true;
}

// Copies the visible part of a decoded image into the bitmap. The left edge moves down to
// the byte that holds it, so at 1 and 4 bits an image may start a few pixels left of its
// place; the image is cut at the right and bottom edges of the screen.
// Indices past `produced` (an end code came early) are index 0.
void drawImage(GifContext& gif, const uint8_t* indices, uint64_t produced, uint32_t left, uint32_t top, uint32_t width,
               uint32_t height, bool interlaced) {
    const uint32_t bpp = static_cast<uint32_t>(gif.bpp);
    const uint32_t screenWidth = static_cast<uint32_t>(gif.screenWidth);
    const uint32_t screenHeight = static_cast<uint32_t>(gif.screenHeight);
    const uint32_t alignedLeft = left * bpp / 8 * 8 / bpp;
    uint32_t visibleHeight = height;
    if (top + height > screenHeight) {
        if (top >= screenHeight) return;
        visibleHeight = screenHeight - top;
    }
    uint32_t visibleWidth = width;
    if (alignedLeft + width > screenWidth) {
        if (alignedLeft >= screenWidth) return;
        visibleWidth = screenWidth - alignedLeft;
    }
    const size_t byteOffset = alignedLeft * bpp / 8;
    if (!gif.rowsReady) {
        // An image that covers the whole screen writes every byte but the row padding.
        const bool coversAll = alignedLeft == 0 && top == 0 && visibleWidth == screenWidth && visibleHeight == screenHeight;
        zeroRows(gif, coversAll ? (static_cast<size_t>(screenWidth) * bpp + 7) / 8 : 0);
    }
    for (uint32_t r = 0; r < visibleHeight; ++r) {
        uint32_t source = interlaced ? interlacedPosition(r, height) : r;
        uint64_t rowStart = static_cast<uint64_t>(source) * width;
        const uint8_t* row;
        if (rowStart + visibleWidth <= produced) {
            row = indices + rowStart;
        } else {
            // The stream ended before this row did: its rest is index 0. The decoded
            // indices end there, so the row is put together beside them.
            if (!gif.scratch) gif.scratch = static_cast<uint8_t*>(osAlloc(kMaxRowPixels));
            if (!gif.scratch) throw ImageException("Not enough memory");
            size_t have = produced > rowStart ? static_cast<size_t>(produced - rowStart) : 0;
            if (have) std::memcpy(gif.scratch, indices + rowStart, have);
            std::memset(gif.scratch + have, 0, visibleWidth - have);
            row = gif.scratch;
        }
        // Rows are stored bottom-up: screen row top + r.
        size_t memoryRow = screenHeight - 1 - top - r;
        packRow(gif.rows + memoryRow * gif.stride + byteOffset, row, visibleWidth, gif.bpp);
    }
}

// Turns the indices of an image that covers the whole screen, decoded in stream order
// to the start of the rows without padding, into the bitmap's rows: bottom row first,
// interlaced rows in their places, each row padded with zeros. The rows move in place
// along the cycles of that order, a slice of columns at a time, while they are still in
// the cache; no row-sized buffer is needed.
void arrangeRows(GifContext& gif, bool interlaced) {
    const size_t width = static_cast<size_t>(gif.screenWidth);
    const uint32_t height = static_cast<uint32_t>(gif.screenHeight);
    uint8_t* const rows = gif.rows;
    // Row m of the bitmap (at m * width for now) is row sourceOf(m) of the stream.
    auto sourceOf = [&](uint32_t m) { return interlaced ? interlacedPosition(height - 1 - m, height) : height - 1 - m; };
    std::vector<bool> placed;
    uint8_t held[4096];
    for (size_t x = 0; x < width; x += sizeof held) {
        const size_t n = std::min(width - x, sizeof held);
        placed.assign(height, false);
        for (uint32_t first = 0; first < height; ++first) {
            if (placed[first]) continue;
            placed[first] = true;
            uint32_t m = first;
            uint32_t from = sourceOf(m);
            if (from == first) continue;
            std::memcpy(held, rows + first * width + x, n);
            while (from != first) {
                std::memcpy(rows + m * width + x, rows + from * width + x, n);
                placed[from] = true;
                m = from;
                from = sourceOf(m);
            }
            std::memcpy(rows + m * width + x, held, n);
        }
    }
    if (gif.stride > width) {
        // Each row moves up to its padded place, the highest first so that none is
        // overwritten before it moved.
        for (uint32_t m = height; m-- > 0;) {
            std::memmove(rows + size_t(m) * gif.stride, rows + m * width, width);
            std::memset(rows + size_t(m) * gif.stride + width, 0, gif.stride - width);
        }
    }
    gif.rowsReady = true;
}

void readImage(GifContext& gif) {
    const ByteReader d = readFields(gif, 9);
    const uint32_t left = d.u16(0);
    const uint32_t top = d.u16(2);
    const uint32_t width = d.u16(4);
    const uint32_t height = d.u16(6);
    const uint8_t flags = d.u8(8);
    if (flags & 0x80) {
        uint32_t n = 2u << (flags & 7);
        if (n > gif.header->biClrUsed) throw ImageException("Invalid color information in image descriptor");
        gif.header->biClrImportant = n;
        readColourTable(gif, n);
    } else if (gif.header->biClrImportant == 0) {
        throw ImageException("Color table missing");
    }
    const uint64_t pixels = static_cast<uint64_t>(width) * height;
    const uint64_t needed = gif.blockBytes + 2 * (pixels + kIndexBufferExtra);
    if (needed > kDecodeMemoryBudget) refuseTooLarge(width, height, needed);
    gif.imagePixels += pixels;
    if (gif.imagePixels > kMaxImagePixelsInAll) refuseTooMuchWork("its images hold more than 268 million pixels");
    const bool interlaced = (flags & 0x40) != 0;
    if (gif.bpp == 8 && pixels != 0 && left == 0 && top == 0 && width == static_cast<uint32_t>(gif.screenWidth) &&
        height == static_cast<uint32_t>(gif.screenHeight)) {
        // The image covers the screen and replaces everything in it: its indices are
        // decoded into the rows themselves, with no buffer between.
        const size_t rowsAt = static_cast<size_t>(gif.rows - gif.block);
        const uint64_t produced =
            gif.lzw.decodeInto(gif.in, gif.block, rowsAt, pixels, gif.blockBytes + kGifIndexSlack);
        // Indices past the stream's end are index 0.
        std::memset(gif.rows + produced, 0, static_cast<size_t>(pixels - produced));
        arrangeRows(gif, interlaced);
        gif.lzw.expectImages(pixels);
        return;
    }
    uint64_t produced = 0;
    uint8_t* indices = gif.lzw.decode(gif.in, pixels, produced);
    drawImage(gif, indices, produced, left, top, width, height, interlaced);
}

void readBlocks(GifContext& gif) {
    for (;;) {
        int introducer = gif.in.readByte();
        switch (introducer) {
            case -1: failEof();
            case 0x00: break;  // stray zeros between blocks do no harm
            case 0x21: skipExtension(gif); break;
            case 0x2C: readImage(gif); break;
            case 0x3B: return;  // bytes after the trailer are not read
            default: throw ImageException("Invalid GIF block!");
        }
    }
}

_Ref<_ImageInfo> decodeGif(const uint8_t* data, size_t size, char const* name) {
    GifContext gif;
    gif.in.data = data;
    gif.in.size = data ? size : 0;
    _Ref<_ImageInfo> image = new _ImageInfo();
    image->init(name, IMAGE_GIF);
    readSignature(gif);
    readScreen(gif);
    readBlocks(gif);
    if (!gif.rowsReady) zeroRows(gif, 0);  // no image was drawn: every pixel is index 0
    image->info = reinterpret_cast<BITMAPINFO*>(gif.block);
    image->bits = gif.rows;
    image->infoBytes = gif.blockBytes;
    image->bitsBytes = gif.blockBytes - static_cast<uint32_t>(gif.rows - gif.block);
    image->pooledBytes = gif.blockCapacity;
    gif.block = nullptr;
    return image;
}

}  // namespace

_Ref<_ImageInfo> loadGifFile(char const* path) {
    CFileMapping mapping;
    if (!mapping.open(path, false)) throw ImageException("No GIF file");
    // The mapping closes when it goes out of scope, after a failure as well.
    return decodeGif(static_cast<const uint8_t*>(mapping.getPtr(0)), static_cast<uint32_t>(mapping.size()), path);
}

_Ref<_ImageInfo> loadGif(void const* data, int size, char const* name) {
    // A negative size is no bytes at all.
    return decodeGif(static_cast<const uint8_t*>(data), size > 0 ? static_cast<size_t>(size) : 0, name);
}

}  // namespace img_lib
