#include "imaging/DibHeader.h"

namespace img_lib {

namespace {

bool isContiguous(uint32_t mask) {
    if (mask == 0) return false;
    uint32_t low = mask & (~mask + 1);       // the lowest set bit
    uint64_t filled = uint64_t(mask) + low;  // a run of ones becomes one carry bit
    return (filled & (filled - 1)) == 0;
}

}  // namespace

DibHeader readDibHeader(const ByteReader& in, uint64_t at) {
    DibHeader h;
    h.size = in.u32(at);
    if (h.core()) {
        in.require(at, kCoreHeaderSize);
        h.width = in.u16(at + 4);
        h.height = in.u16(at + 6);
        h.planes = in.u16(at + 8);
        h.bitCount = in.u16(at + 10);
        return h;
    }
    if (h.size < kInfoHeaderSize) in.fail();  // no such header
    in.require(at, kInfoHeaderSize);
    h.width = in.i32(at + 4);
    h.height = in.i32(at + 8);
    h.planes = in.u16(at + 12);
    h.bitCount = in.u16(at + 14);
    h.compression = in.u32(at + 16);
    h.sizeImage = in.u32(at + 20);
    h.clrUsed = in.u32(at + 32);
    return h;
}

DibMasks readDibMasks(const ByteReader& in, uint64_t offset) {
    in.require(offset, 12);
    return DibMasks{in.u32(offset), in.u32(offset + 4), in.u32(offset + 8)};
}

bool validMasks(const DibMasks& m, uint32_t bitCount) {
    const uint64_t pixelBits = bitCount >= 64 ? ~uint64_t(0) : (uint64_t(1) << bitCount) - 1;
    for (uint32_t mask : {m.red, m.green, m.blue}) {
        if (!isContiguous(mask) || (mask & ~pixelBits) != 0) return false;
    }
    return ((m.red & m.green) | (m.red & m.blue) | (m.green & m.blue)) == 0;
}

std::optional<uint64_t> dibRowBytes(int64_t width, int64_t bitCount) {
    if (width < 0 || bitCount < 0) return std::nullopt;
    uint64_t bits = 0;
    if (__builtin_mul_overflow(static_cast<uint64_t>(width), static_cast<uint64_t>(bitCount), &bits) ||
        __builtin_add_overflow(bits, uint64_t(31), &bits)) {
        return std::nullopt;
    }
    return bits / 32 * 4;
}

}  // namespace img_lib
