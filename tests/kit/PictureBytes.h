// Pictures and little-endian fields built in memory for the tests: device-independent
// bitmap headers and whole BMP files.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace testkit {

using Bytes = std::vector<uint8_t>;

// Appends the `n` low bytes of `v`, least significant first.
template <typename Container>
void appendLe(Container& out, uint64_t v, int n) {
    for (int i = 0; i < n; ++i) out.push_back(static_cast<typename Container::value_type>(v >> (8 * i)));
}

// Little- and big-endian byte strings.
inline std::string le(uint64_t v, int n) {
    std::string s;
    appendLe(s, v, n);
    return s;
}
inline std::string be(uint64_t v, int n) {
    std::string s;
    for (int i = n - 1; i >= 0; --i) s += static_cast<char>(v >> (8 * i));
    return s;
}

// Little-endian 32-bit words.
inline Bytes words(std::initializer_list<uint32_t> list) {
    Bytes b;
    for (uint32_t v : list) appendLe(b, v, 4);
    return b;
}

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A 40-byte BITMAPINFOHEADER at 2835 pixels per metre.
inline Bytes dibHeader(int32_t width, int32_t height, uint16_t bitCount, uint32_t compression = 0,
                       uint32_t clrUsed = 0, uint32_t sizeImage = 0) {
    Bytes b = words({40, static_cast<uint32_t>(width), static_cast<uint32_t>(height)});
    appendLe(b, 1, 2);
    appendLe(b, bitCount, 2);
    return b + words({compression, sizeImage, 2835, 2835, clrUsed, 0});
}

// A BMP file: the file header, then `info` (header, masks and colour table), then the
// pixel data.
inline Bytes bmpFile(const Bytes& info, const Bytes& pixels) {
    Bytes b{'B', 'M'};
    const uint32_t offBits = static_cast<uint32_t>(14 + info.size());
    appendLe(b, offBits + pixels.size(), 4);
    appendLe(b, 0, 4);
    appendLe(b, offBits, 4);
    return b + info + pixels;
}

// Row length of `width` pixels of `bitCount` bits, padded to 4 bytes.
inline size_t dibStride(int64_t width, int bitCount) { return static_cast<size_t>((width * bitCount + 31) / 32 * 4); }

}  // namespace testkit
