// JPEG bytes with an EXIF orientation segment spliced in after the start marker.
#pragma once

#include <cstdint>
#include <vector>

namespace exif_kit {

using Bytes = std::vector<uint8_t>;

struct Tag {
    uint16_t tag = 0x0112;
    uint16_t type = 3;  // SHORT
    uint32_t count = 1;
    uint16_t value = 1;
};

// The TIFF structure of a segment: byte order, IFD0's offset and its entries.
inline Bytes tiff(bool bigEndian, const std::vector<Tag>& tags, uint32_t ifdOffset = 8) {
    Bytes b;
    auto u16 = [&](uint16_t v) {
        b.push_back(uint8_t(bigEndian ? v >> 8 : v));
        b.push_back(uint8_t(bigEndian ? v : v >> 8));
    };
    auto u32 = [&](uint32_t v) {
        if (bigEndian) { u16(uint16_t(v >> 16)); u16(uint16_t(v)); }
        else { u16(uint16_t(v)); u16(uint16_t(v >> 16)); }
    };
    b.push_back(uint8_t(bigEndian ? 'M' : 'I'));
    b.push_back(b.back());
    u16(42);
    u32(ifdOffset);
    u16(static_cast<uint16_t>(tags.size()));
    for (const Tag& t : tags) {
        u16(t.tag);
        u16(t.type);
        u32(t.count);
        u16(t.value);
        u16(0);
    }
    u32(0);
    return b;
}

// `jpeg` with an APP1 "Exif" segment holding `tiffBytes` after its start marker.
inline Bytes withExif(const Bytes& jpeg, const Bytes& tiffBytes) {
    Bytes seg = {0xFF, 0xE1};
    const size_t length = 2 + 6 + tiffBytes.size();
    seg.push_back(uint8_t(length >> 8));
    seg.push_back(uint8_t(length));
    for (char c : {'E', 'x', 'i', 'f', '\0', '\0'}) seg.push_back(uint8_t(c));
    seg.insert(seg.end(), tiffBytes.begin(), tiffBytes.end());
    Bytes out = jpeg;
    out.insert(out.begin() + 2, seg.begin(), seg.end());
    return out;
}

}  // namespace exif_kit
