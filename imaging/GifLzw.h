// The LZW reader of GIF image data and the bounded byte reader it shares with the GIF
// decoder.
#pragma once

#include <cstddef>
#include <cstdint>

namespace img_lib {

// The bytes of a GIF and the read position. No read goes past `size`.
struct GifInput {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t pos = 0;

    size_t left() const { return size - pos; }
    // Copies min(n, left()) bytes to `dst` and returns that count.
    size_t read(void* dst, size_t n);
    // The next byte, or -1 at the end of the input.
    int readByte() { return pos < size ? data[pos++] : -1; }
};

// Decodes the image data of one GIF image after another. The code tables live as long as
// the decoder, so that entries which an image does not define keep what earlier images of
// the same file left in them, as the format's table rules describe.
class GifLzwDecoder {
public:
    GifLzwDecoder();
    ~GifLzwDecoder();
    GifLzwDecoder(const GifLzwDecoder&) = delete;
    GifLzwDecoder& operator=(const GifLzwDecoder&) = delete;

    // Reads the minimum code size and the data sub-blocks at the input's position and
    // decodes up to `pixelCount` colour indices, one byte each, into the returned buffer,
    // which stays valid until the next call. `produced` tells how many the stream gave
    // before its end code; the bytes after them are undefined. After an end code the input
    // stands right behind the byte that completed it, otherwise behind the terminating
    // sub-block. Throws ImageException for a broken stream, and "Not enough memory" when
    // the indices cannot be held.
    uint8_t* decode(GifInput& in, uint64_t pixelCount, uint64_t& produced);
    // The same, but into `pixelCount` bytes at `out` in `block`, which the caller owns:
    // the decoder then needs no buffer of its own. It may write up to kGifIndexSlack bytes
    // past those and keeps its roots in the kGifRootBytes at `rootsAt`, which lie apart
    // from both. Returns how many indices the stream gave.
    uint64_t decodeInto(GifInput& in, uint8_t* block, size_t out, uint64_t pixelCount, size_t rootsAt);
    // Makes the buffer, once decode() first needs it, large enough for `pixelCount`
    // indices as far as the input can fill it: an animation whose first image went
    // through decodeInto then does not grow it step by step for the later ones.
    void expectImages(uint64_t pixelCount) { expectedPixels = pixelCount; }

private:
    static constexpr uint32_t kCodes = 4096;

    // The table as the format defines it: what a code's string is made of. Entries no
    // image has defined yet read as index 0 without a prefix.
    uint16_t prefix[kCodes];
    uint8_t suffix[kCodes];
    // The same strings as places in `buffer`; valid for roots and for codes defined since
    // the last clear. Clear and end code have length 0.
    uint16_t length[kCodes];
    uint32_t start[kCodes];
    uint8_t stack[kCodes];

    // The code width and the next table entry to define.
    struct Codes {
        uint32_t next;
        uint32_t size;  // bits per code
        uint32_t mask;
    };

    // Decodes into `block` (or the buffer when null) from `outStart` on, the roots at
    // `rootsAt`, and returns where the indices begin.
    uint8_t* run(GifInput& in, uint8_t* block, size_t outStart, uint64_t pixelCount, size_t rootsAt,
                 uint64_t& produced);
    // Makes the codes below `clearCode` the roots, each its own index at `rootsAt`.
    void setRoots(uint32_t clearCode, size_t rootsAt);
    // Defines entry `codes.next` as the string of `prev` followed by `first` and widens the
    // code once the next free entry no longer fits it. The table must have room.
    inline void addEntry(Codes& codes, uint32_t prev, uint8_t first);
    // The same for a string that also stands in the output: `len` bytes at `at`.
    inline void addPlacedEntry(Codes& codes, uint32_t prev, uint8_t first, size_t at, uint32_t len);
    // Puts the string of `code` onto the stack, last index first (its first index on top),
    // and returns its length; `firstChar` is the previous string's first index. For strings an earlier image or clear cycle left
    // in the table; a chain that loops or leads outside the table ends the image.
    uint32_t walkChain(uint32_t code, uint32_t clearCode, uint32_t oldCode, uint32_t nextCode, uint8_t firstChar);

    void reserve(uint64_t pixelCount, size_t inputLeft);
    // Makes the buffer hold at least `outNeeded` bytes (and at most `outMost`) besides the
    // slack, keeping its first `used`.
    void grow(size_t used, size_t outNeeded, size_t outMost);

    uint64_t expectedPixels = 0;
    uint8_t* buffer = nullptr;  // every root's index, then the image's indices
    // Bytes in `buffer`, including kSlack bytes that string copies may overrun into.
    size_t capacity = 0;
};

// What decodeInto needs besides the indices: the bytes a string copy may write past
// them, and room for every root a code size allows plus what a copy reads past one.
constexpr size_t kGifIndexSlack = 8;
constexpr size_t kGifRootBytes = 2048 + 8;

// The most colour indices one image may hold; a larger image is refused like an
// allocation that fails.
constexpr uint64_t kMaxGifImagePixels = uint64_t(1) << 28;

}  // namespace img_lib
