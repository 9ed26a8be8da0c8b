// Little-endian numbers from bytes: unchecked loads for loops whose bounds are checked
// once for a whole row, and a bounded reader for headers, where every field is checked.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/ImageInfo.h"

namespace img_lib {

inline uint32_t loadLe16(const uint8_t* p) { return static_cast<uint32_t>(p[0] | p[1] << 8); }
inline uint32_t loadLe24(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16;
}
inline uint32_t loadLe32(const uint8_t* p) { return loadLe24(p) | static_cast<uint32_t>(p[3]) << 24; }

// Fields at offsets from the start of `size` bytes. A read that would pass their end
// throws ImageException with the message the reader was made with (the decoder's own
// words for a cut-off header), so a caller can never read outside the bytes, whatever
// it checked before.
class ByteReader {
public:
    ByteReader(const uint8_t* bytes, size_t size, const char* pastEnd)
        : bytes_(bytes), size_(bytes ? size : 0), pastEnd_(pastEnd) {}

    size_t size() const { return size_; }
    bool contains(uint64_t offset, uint64_t length) const { return offset <= size_ && length <= size_ - offset; }
    // Throws unless `length` bytes at `offset` are inside.
    void require(uint64_t offset, uint64_t length) const { at(offset, length); }

    uint8_t u8(uint64_t offset) const { return *at(offset, 1); }
    uint16_t u16(uint64_t offset) const { return static_cast<uint16_t>(loadLe16(at(offset, 2))); }
    uint32_t u24(uint64_t offset) const { return loadLe24(at(offset, 3)); }
    uint32_t u32(uint64_t offset) const { return loadLe32(at(offset, 4)); }
    int32_t i32(uint64_t offset) const { return static_cast<int32_t>(u32(offset)); }

    // Throws as a read past the end does: for bytes that are there but say nothing sound.
    [[noreturn]] void fail() const { throw ImageException(pastEnd_); }

private:
    const uint8_t* at(uint64_t offset, uint64_t length) const {
        if (!contains(offset, length)) fail();
        return bytes_ + offset;
    }

    const uint8_t* bytes_;
    size_t size_;
    const char* pastEnd_;
};

}  // namespace img_lib
