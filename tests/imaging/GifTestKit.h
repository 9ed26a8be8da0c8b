// Builds GIF files in memory for the decoder's tests, fuzz seeds and benchmark: a small
// LZW encoder, sub-block framing and the file's blocks.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace giftest {

using Bytes = std::vector<uint8_t>;

// Packs codes least significant bit first, as GIF does.
class CodeWriter {
public:
    void put(uint32_t code, int width) {
        acc |= static_cast<uint64_t>(code) << count;
        count += width;
        while (count >= 8) {
            bytes.push_back(static_cast<uint8_t>(acc));
            acc >>= 8;
            count -= 8;
        }
    }
    Bytes finish() {
        if (count > 0) bytes.push_back(static_cast<uint8_t>(acc));
        acc = 0;
        count = 0;
        return bytes;
    }

private:
    Bytes bytes;
    uint64_t acc = 0;
    int count = 0;
};

struct LzwOptions {
    bool endCode = true;
    bool clearWhenFull = true;  // otherwise the table stays full and codes stay 12 bits wide
};

// A standard GIF LZW encoder: clear code first, width grows once the next entry needs
// another bit, clear (or stay full) at 4096 entries.
inline Bytes lzwEncode(const Bytes& indices, int minCodeSize, LzwOptions options = {}) {
    CodeWriter out;
    const uint32_t clear = 1u << minCodeSize;
    const uint32_t end = clear + 1;
    int width = minCodeSize + 1;
    uint32_t next = end + 1;
    std::unordered_map<uint32_t, uint32_t> table;
    out.put(clear, width);
    if (!indices.empty()) {
        uint32_t current = indices[0];
        for (size_t i = 1; i < indices.size(); ++i) {
            uint32_t key = current << 8 | indices[i];
            auto found = table.find(key);
            if (found != table.end()) {
                current = found->second;
                continue;
            }
            out.put(current, width);
            if (next < 4096) {
                table.emplace(key, next++);
                if (next > (1u << width) && width < 12) ++width;
            } else if (options.clearWhenFull) {
                out.put(clear, width);
                table.clear();
                next = end + 1;
                width = minCodeSize + 1;
            }
            current = indices[i];
        }
        out.put(current, width);
    }
    if (options.endCode) out.put(end, width);
    return out.finish();
}

// Codes of the given widths, packed; for hand-made streams.
inline Bytes packCodes(const std::vector<std::pair<uint32_t, int>>& codes) {
    CodeWriter out;
    for (auto [code, width] : codes) out.put(code, width);
    return out.finish();
}

// The image data block: minimum code size, sub-blocks of at most `chunk` bytes, terminator.
inline Bytes imageData(int minCodeSize, const Bytes& lzw, size_t chunk = 255, bool terminate = true) {
    Bytes b{static_cast<uint8_t>(minCodeSize)};
    for (size_t at = 0; at < lzw.size(); at += chunk) {
        size_t n = lzw.size() - at < chunk ? lzw.size() - at : chunk;
        b.push_back(static_cast<uint8_t>(n));
        b.insert(b.end(), lzw.begin() + static_cast<long>(at), lzw.begin() + static_cast<long>(at + n));
    }
    if (terminate) b.push_back(0);
    return b;
}

// The colour of entry i of a global (table 0) or local (table 1) colour table.
inline void colourOf(int table, uint32_t i, uint8_t rgb[3]) {
    rgb[0] = static_cast<uint8_t>(i * 3 + table * 101);
    rgb[1] = static_cast<uint8_t>(i * 5 + 7);
    rgb[2] = static_cast<uint8_t>(255 - i - table * 50);
}

// Rows in the order an interlaced image stores them.
inline Bytes interlace(const Bytes& natural, uint32_t width, uint32_t height) {
    Bytes out;
    const uint32_t starts[4] = {0, 4, 2, 1};
    const uint32_t steps[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (uint32_t r = starts[pass]; r < height; r += steps[pass]) {
            out.insert(out.end(), natural.begin() + static_cast<long>(r * width),
                       natural.begin() + static_cast<long>((r + 1) * width));
        }
    }
    return out;
}

struct ImageSetup {
    uint16_t left = 0;
    uint16_t top = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t flags = 0;  // bit 7 local table (size field in bits 0-2), bit 6 interlaced
    Bytes indices;      // in stream order
    int minCodeSize = 2;
    const Bytes* data = nullptr;  // ready image data (minimum code size and sub-blocks) instead
};

class GifBuilder {
public:
    GifBuilder(uint16_t width, uint16_t height, uint8_t flags, const char* version = "89a") {
        bytes = {'G', 'I', 'F'};
        for (int i = 0; i < 3; ++i) bytes.push_back(static_cast<uint8_t>(version[i]));
        put16(width);
        put16(height);
        bytes.push_back(flags);
        bytes.push_back(0);  // background index
        bytes.push_back(0);  // aspect ratio
        if (flags & 0x80) table(0, 2u << (flags & 7));
    }

    GifBuilder& image(const ImageSetup& s) {
        bytes.push_back(0x2C);
        put16(s.left);
        put16(s.top);
        put16(s.width);
        put16(s.height);
        bytes.push_back(s.flags);
        if (s.flags & 0x80) table(1, 2u << (s.flags & 7));
        if (s.data) {
            raw(*s.data);
        } else {
            raw(imageData(s.minCodeSize, lzwEncode(s.indices, s.minCodeSize)));
        }
        return *this;
    }

    // A graphic control extension, skipped by the decoder.
    GifBuilder& extension() { return raw({0x21, 0xF9, 4, 0, 0, 0, 0, 0}); }

    GifBuilder& raw(const Bytes& more) {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return *this;
    }

    Bytes finish() const {
        Bytes b = bytes;
        b.push_back(0x3B);
        return b;
    }
    const Bytes& sofar() const { return bytes; }

private:
    void put16(uint16_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    void table(int which, uint32_t n) {
        for (uint32_t i = 0; i < n; ++i) {
            uint8_t rgb[3];
            colourOf(which, i, rgb);
            bytes.insert(bytes.end(), rgb, rgb + 3);
        }
    }

    Bytes bytes;
};

}  // namespace giftest
