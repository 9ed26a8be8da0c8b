// The BMP reader: a BMP file already is a device-independent bitmap, so the record
// points into the file's own bytes (kept mapped while the record lives) or into the
// caller's bytes. No pixel is copied.
#include "imaging/BmpValidation.h"
#include "imaging/ImageInfo.h"

namespace img_lib {

namespace {

// The checks after the length of the file header, the same for a file and for memory,
// then the pointers into the bytes. `size` is at least the file header.
void attachBytes(_BmpInfo& image, const uint8_t* bytes, uint32_t size) {
    const ByteReader header(bytes, kBmpFileHeaderSize, "Corrupt file header");
    if (header.u8(0) != 'B' || header.u8(1) != 'M') throw ImageException("No bmp file");
    // A file longer than it declares is fine; only a shorter one is refused.
    if (size < header.u32(2)) throw ImageException("File size to small");
    checkBmpLayout(bytes, size);
    const uint32_t bitsOffset = header.u32(10);
    image.info = reinterpret_cast<BITMAPINFO*>(const_cast<uint8_t*>(bytes + kBmpFileHeaderSize));
    image.bits = const_cast<uint8_t*>(bytes + bitsOffset);
    image.infoBytes = size - kBmpFileHeaderSize;
    image.bitsBytes = size - bitsOffset;
}

}  // namespace

_Ref<_ImageInfo> loadBmpFile(char const* path) {
    _Ref<_BmpInfo> image = new _BmpInfo();
    image->init(path, IMAGE_BMP);
    if (!image->mapping.open(path, false)) throw ImageException("Can't open BMP File");
    // A failure below drops the record, whose destructor closes the mapping.
    uint32_t size = static_cast<uint32_t>(image->mapping.size());
    if (size < kBmpFileHeaderSize) throw ImageException("Corrupt file header");
    attachBytes(*image, static_cast<const uint8_t*>(image->mapping.getPtr(0)), size);
    return image;
}

_Ref<_ImageInfo> loadBmp(void const* data, int size, const _Ref<_String>& name) {
    _Ref<_BmpInfo> image = new _BmpInfo();
    image->init(name->c_str(), IMAGE_BMP);
    // A negative size is no length at all, not four gigabytes.
    if (size < 0 || static_cast<uint32_t>(size) < kBmpFileHeaderSize || !data) {
        throw ImageException("Corrupt bmp header");
    }
    attachBytes(*image, static_cast<const uint8_t*>(data), static_cast<uint32_t>(size));
    return image;
}

}  // namespace img_lib
