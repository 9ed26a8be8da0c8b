#include "imaging/ExifOrientation.h"

#include <cstring>

namespace img_lib {

namespace {

constexpr int kAsStored = 1;
constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kShortType = 3;
// The markers before the first scan are few; a file made of thousands of empty
// segments is not searched to its end.
constexpr int kMaxSegments = 64;

// Bounded reads of the TIFF structure inside one segment, in its own byte order.
class TiffView {
public:
    TiffView(const uint8_t* data, size_t size, bool bigEndian) : data(data), size(size), bigEndian(bigEndian) {}

    bool u16(size_t at, uint16_t& out) const {
        if (at > size || size - at < 2) return false;
        out = bigEndian ? uint16_t(data[at] << 8 | data[at + 1]) : uint16_t(data[at + 1] << 8 | data[at]);
        return true;
    }
    bool u32(size_t at, uint32_t& out) const {
        uint16_t a = 0, b = 0;
        if (!u16(at, a) || !u16(at + 2, b)) return false;
        out = bigEndian ? (uint32_t(a) << 16 | b) : (uint32_t(b) << 16 | a);
        return true;
    }

private:
    const uint8_t* data;
    size_t size;
    bool bigEndian;
};

int orientationInTiff(const uint8_t* tiff, size_t size) {
    if (size < 8) return kAsStored;
    bool big = tiff[0] == 'M' && tiff[1] == 'M';
    if (!big && !(tiff[0] == 'I' && tiff[1] == 'I')) return kAsStored;
    TiffView view(tiff, size, big);
    uint16_t magic = 0, entries = 0;
    uint32_t ifd = 0;
    if (!view.u16(2, magic) || magic != 42 || !view.u32(4, ifd) || !view.u16(ifd, entries)) return kAsStored;
    for (uint32_t i = 0; i < entries; ++i) {
        const size_t entry = size_t(ifd) + 2 + size_t(i) * 12;
        uint16_t tag = 0, type = 0, value = 0;
        uint32_t count = 0;
        if (!view.u16(entry, tag) || !view.u16(entry + 2, type) || !view.u32(entry + 4, count) ||
            !view.u16(entry + 8, value)) {
            return kAsStored;
        }
        if (tag != kOrientationTag) continue;
        return type == kShortType && count == 1 && value >= 1 && value <= 8 ? value : kAsStored;
    }
    return kAsStored;
}

}  // namespace

int jpegOrientation(const uint8_t* data, size_t size) {
    if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8) return kAsStored;
    size_t at = 2;
    for (int segment = 0; segment < kMaxSegments && size - at >= 4; ++segment) {
        if (data[at] != 0xFF) return kAsStored;
        const uint8_t marker = data[at + 1];
        // Start of scan or end of image: the tag would have come before.
        if (marker == 0xDA || marker == 0xD9) return kAsStored;
        const size_t length = size_t(data[at + 2]) << 8 | data[at + 3];
        if (length < 2 || length > size - at - 2) return kAsStored;
        const uint8_t* body = data + at + 4;
        const size_t bodySize = length - 2;
        if (marker == 0xE1 && bodySize >= 6 && std::memcmp(body, "Exif\0\0", 6) == 0) {
            return orientationInTiff(body + 6, bodySize - 6);
        }
        at += 2 + length;
    }
    return kAsStored;
}

int jpegFileOrientation(char const* path) {
    CFileMapping file;
    if (!file.open(path, false)) return kAsStored;
    const long size = file.size();
    if (size <= 0) return kAsStored;
    return jpegOrientation(static_cast<const uint8_t*>(file.getPtr(0)), static_cast<size_t>(size));
}

}  // namespace img_lib
