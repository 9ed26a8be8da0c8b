// The LZW reader of GIF image data.
//
// Codes are taken least significant bit first, one input byte at a time. The width grows
// when the next free table entry no longer fits the code mask and stays at 12 bits once
// the table holds 4096 entries; a clear code resets width and table but leaves the
// entries above it as they were.
//
// Speed: every code defined since the last clear stands for a string that the output
// already holds, so it is kept as (start in the output, length) and emitted with a word
// copy from there; roots are copied from a row of all indices in front of the output (or,
// in a caller's block, behind it).
// Only one odd stream takes the slow road: a first code after a clear that names the
// entry about to be defined, whose string is whatever an earlier image or clear cycle
// left in the table. From there to the next clear, strings are built by walking the
// prefix chains, bounded by the 4096-byte stack.
#include "imaging/GifLzw.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstring>

#include "imaging/DecodePauses.h"
#include "imaging/ImageInfo.h"
#include "imaging/PixelBlockPool.h"

namespace img_lib {

namespace {

constexpr uint32_t kNone = 4096;  // the previous code after a clear: none
constexpr size_t kRootBytes = 4096;  // one byte for each code that can be a root
// A string copy moves whole 8-byte words and may write up to 7 bytes past the string.
constexpr size_t kSlack = 16;
// The least room for indices the buffer starts with.
constexpr size_t kInitialGuess = size_t(1) << 16;
// Clear codes allowed beyond one for each index produced: a clear code produces
// nothing, so a stream made of them alone would cost time without giving a pixel.
constexpr uint64_t kSpareClearCodes = 64;

[[noreturn]] void failStream() { throw ImageException("Error in LZW part of image"); }

[[noreturn]] void failCode(uint32_t code) {
    char text[40];
    std::snprintf(text, sizeof text, "Invalid LZW-Code %d!", static_cast<int>(code));
    throw ImageException(text);
}

// Copies an n-byte string (n >= 1) that ends at or before `dst`, in whole words. Bytes
// written past the string are garbage that the next strings overwrite.
inline void copyString(uint8_t* dst, const uint8_t* src, uint32_t n) {
    uint8_t* const end = dst + n;
    do {
        uint64_t word;
        std::memcpy(&word, src, 8);
        std::memcpy(dst, &word, 8);
        dst += 8;
        src += 8;
    } while (dst < end);
}

}  // namespace

size_t GifInput::read(void* dst, size_t n) {
    size_t count = n < left() ? n : left();
    if (count) std::memcpy(dst, data + pos, count);
    pos += count;
    return count;
}

// Every root's index in one row, copied in front of each new buffer.
struct RootIndices {
    uint8_t index[kRootBytes];
    constexpr RootIndices() : index() {
        for (size_t i = 0; i < kRootBytes; ++i) index[i] = static_cast<uint8_t>(i);
    }
};
constexpr RootIndices kRoots;

GifLzwDecoder::GifLzwDecoder() {
    std::memset(prefix, 0, sizeof prefix);
    std::memset(suffix, 0, sizeof suffix);
}

GifLzwDecoder::~GifLzwDecoder() { givePixelBlock(buffer, capacity); }

void GifLzwDecoder::reserve(uint64_t pixelCount, size_t inputLeft) {
    if (pixelCount > kMaxGifImagePixels) throw ImageException("Not enough memory");
    // The buffer grows with what the stream delivers, starting from a guess at what its
    // bytes hold; a large image whose data ends early never costs its full size.
    const uint64_t most = std::max(pixelCount, expectedPixels);
    uint64_t guess = std::min<uint64_t>(most, uint64_t(kInitialGuess) + 16 * uint64_t(inputLeft));
    grow(0, kRootBytes + static_cast<size_t>(guess), kRootBytes + static_cast<size_t>(most));
}

void GifLzwDecoder::grow(size_t used, size_t outNeeded, size_t outMost) {
    size_t need = outNeeded + kSlack;
    if (need <= capacity) return;
    size_t size = std::min(std::max(need, 2 * capacity), outMost + kSlack);
    // Uninitialised, maybe an earlier picture's block: nothing past the indices written
    // is ever read as a pixel.
    size_t got = 0;
    uint8_t* fresh = static_cast<uint8_t*>(takePixelBlock(size, got));
    if (!fresh) throw ImageException("Not enough memory");
    std::memcpy(fresh, buffer ? buffer : kRoots.index, std::max(used, kRootBytes));
    givePixelBlock(buffer, capacity);
    buffer = fresh;
    capacity = got;
}

void GifLzwDecoder::setRoots(uint32_t clearCode, size_t rootsAt) {
    for (uint32_t i = 0; i < clearCode; ++i) {
        prefix[i] = kNone;
        suffix[i] = static_cast<uint8_t>(i);
        length[i] = 1;
        start[i] = static_cast<uint32_t>(rootsAt + i);
    }
    length[clearCode] = 0;
    length[clearCode + 1] = 0;
}

inline void GifLzwDecoder::addEntry(Codes& codes, uint32_t prev, uint8_t first) {
    assert(codes.next < kCodes && prev <= codes.next);
    prefix[codes.next] = static_cast<uint16_t>(prev);
    suffix[codes.next] = first;
    ++codes.next;
    if (codes.next < kCodes && (codes.next & codes.mask) == 0) {
        ++codes.size;
        codes.mask += codes.next;
    }
    assert(codes.size <= 12 && codes.mask < kCodes);
}

inline void GifLzwDecoder::addPlacedEntry(Codes& codes, uint32_t prev, uint8_t first, size_t at, uint32_t len) {
    // The strings of a clear cycle lie in the output, each at most the whole table long.
    assert(len >= 2 && len <= kCodes);
    start[codes.next] = static_cast<uint32_t>(at);
    length[codes.next] = static_cast<uint16_t>(len);
    addEntry(codes, prev, first);
}

uint32_t GifLzwDecoder::walkChain(uint32_t code, uint32_t clearCode, uint32_t oldCode, uint32_t nextCode,
                                  uint8_t firstChar) {
    uint32_t depth = 0;
    uint32_t c = code;
    if (code == nextCode) {
        stack[depth++] = firstChar;
        c = oldCode;
    }
    while (c > clearCode) {
        if (c >= kCodes || depth == kCodes) failStream();
        stack[depth++] = suffix[c];
        c = prefix[c];
    }
    if (depth == kCodes) failStream();
    stack[depth++] = suffix[c];
    return depth;
}

uint8_t* GifLzwDecoder::decode(GifInput& in, uint64_t pixelCount, uint64_t& produced) {
    reserve(pixelCount, in.left());
    return run(in, nullptr, kRootBytes, pixelCount, 0, produced);
}

uint64_t GifLzwDecoder::decodeInto(GifInput& in, uint8_t* block, size_t out, uint64_t pixelCount, size_t rootsAt) {
    assert(rootsAt >= out + pixelCount + kGifIndexSlack || rootsAt + kGifRootBytes <= out);
    uint64_t produced = 0;
    run(in, block, out, pixelCount, rootsAt, produced);
    return produced;
}

uint8_t* GifLzwDecoder::run(GifInput& in, uint8_t* block, size_t outStart, uint64_t pixelCount, size_t rootsAt,
                            uint64_t& produced) {
    int minCodeSize = in.readByte();
    if (minCodeSize < 0) throw ImageException("EOF not yet expected");
    // A clear code at 4096 or above would lie outside the tables.
    if (minCodeSize > 11) failStream();

    const uint32_t clearCode = 1u << minCodeSize;
    const uint32_t endCode = clearCode + 1;
    const Codes firstCodes{clearCode + 2, static_cast<uint32_t>(minCodeSize) + 1, (2u << minCodeSize) - 1};
    setRoots(clearCode, rootsAt);
    if (block) std::memcpy(block + rootsAt, kRoots.index, clearCode);

    Codes codes = firstCodes;
    uint32_t oldCode = kNone;
    uint8_t firstChar = 0;
    // Codes below `limit` other than clear and end take the fast road. It is codes.next
    // while the previous code's string lies in the output, 0 otherwise.
    uint32_t limit = 0;
    bool stale = false;

    uint8_t* base = block ? block : buffer;
    const size_t outEnd = outStart + static_cast<size_t>(pixelCount);
    // Output may run up to `room` before the buffer has to grow; the caller's block holds
    // the whole image.
    size_t room = block ? outEnd : std::min(outEnd, capacity - kSlack);
    size_t out = outStart;
    // Makes room for `len` more indices, or refuses a stream that decodes to more than
    // the image holds.
    auto ensureRoom = [&](size_t len) {
        if (len > outEnd - out) failStream();
        assert(!block);
        grow(out, out + len, outEnd);
        base = buffer;
        room = std::min(outEnd, capacity - kSlack);
    };
    size_t prevStart = 0;  // the previous code's string in the buffer
    uint32_t prevLen = 0;
    uint64_t clears = 0;

    uint32_t bits = 0;
    uint32_t bitCount = 0;
    for (uint32_t blocks = 0;; ++blocks) {
        // A look at the clock every 16 sub-blocks (4 KB of codes at most) costs nothing
        // against their decoding; a large picture still pauses every few milliseconds.
        if (blocks % 16 == 15 && !DecodePauseScope::mayGoOn()) throw DecodeCancelled();
        int blockLength = in.readByte();
        if (blockLength <= 0) {
            if (out == outEnd) break;
            failStream();
        }
        if (in.left() < static_cast<size_t>(blockLength)) throw ImageException("Error in reading loop");
        const uint8_t* p = in.data + in.pos;
        const uint8_t* const blockEnd = p + blockLength;
        in.pos += static_cast<size_t>(blockLength);
        while (p < blockEnd) {
            bits |= static_cast<uint32_t>(*p++) << bitCount;
            bitCount += 8;
            while (bitCount >= codes.size) {
                const uint32_t code = bits & codes.mask;
                bits >>= codes.size;
                bitCount -= codes.size;
                assert(limit == 0 || limit == codes.next);

                if (code < limit) {
                    const uint32_t len = length[code];
                    if (len != 0) {
                        if (len > room - out) ensureRoom(len);
                        const uint32_t src = start[code];
                        // A defined string lies wholly before the output's end, a root in
                        // front of the output or behind its slack: the word copy never
                        // reads what it writes.
                        assert(src + len <= out || src >= outEnd + kGifIndexSlack);
                        copyString(base + out, base + src, len);
                        if (codes.next < kCodes) {
                            addPlacedEntry(codes, oldCode, base[src], prevStart, prevLen + 1);
                            limit = codes.next;
                        }
                        oldCode = code;
                        prevStart = out;
                        prevLen = len;
                        out += len;
                        continue;
                    }
                }

                if (code == endCode) {
                    // The rest of this sub-block is left to the block loop.
                    in.pos = static_cast<size_t>(p - in.data);
                    produced = out - outStart;
                    return base + outStart;
                }
                if (code == clearCode) {
                    if (++clears > out - outStart + kSpareClearCodes) failStream();
                    codes = firstCodes;
                    oldCode = kNone;
                    limit = 0;
                    stale = false;
                    continue;
                }
                if (code > codes.next) failCode(code);
                if (out == room) ensureRoom(1);

                if (oldCode == kNone) {
                    // The first code after a clear: a root, or the entry about to be defined.
                    firstChar = suffix[code];
                    base[out] = firstChar;
                    oldCode = code;
                    if (code < clearCode) {
                        prevStart = out;
                        prevLen = 1;
                        limit = codes.next;
                    } else {
                        stale = true;
                    }
                    ++out;
                    continue;
                }

                if (!stale) {
                    // code == codes.next: the previous string and its own first index.
                    const uint32_t len = prevLen + 1;
                    if (len > room - out) ensureRoom(len);
                    const uint8_t first = base[prevStart];
                    copyString(base + out, base + prevStart, prevLen);
                    base[out + prevLen] = first;
                    addPlacedEntry(codes, oldCode, first, prevStart, len);
                    limit = codes.next;
                    oldCode = code;
                    prevStart = out;
                    prevLen = len;
                    out += len;
                    continue;
                }

                uint32_t depth = walkChain(code, clearCode, oldCode, codes.next, firstChar);
                firstChar = stack[depth - 1];
                if (codes.next < kCodes) addEntry(codes, oldCode, firstChar);
                oldCode = code;
                if (depth > room - out) ensureRoom(depth);
                while (depth) base[out++] = stack[--depth];
            }
        }
    }
    produced = out - outStart;
    return base + outStart;
}

}  // namespace img_lib
