// Pictures and database files for the image source tests.
#pragma once

#include <string>
#include <vector>

#include "foundation/io/File.h"
#include "sources/ArrayFile.h"
#include "sources/IdbRecord.h"
#include "tests/foundation/io/TempDir.h"

namespace sourcetest {

// A 1x1 GIF, and a 3x2 24-bit BMP.
inline std::string tinyGif() {
    static const unsigned char bytes[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00,
                                          0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00,
                                          0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

inline std::string tinyBmp() { return TempDir::read(GLIMSEL_SOURCE_DIR "/tests/imaging/data/tiny24.bmp"); }

// A 24-bit BMP of `width` x `height` grey pixels (rows padded to 4 bytes).
inline std::string greyBmp(int width, int height) {
    const int row = (width * 3 + 3) & ~3;
    const int size = 54 + row * height;
    std::string b(static_cast<size_t>(size), '\x80');
    auto put = [&](int at, unsigned v, int n) {
        for (int i = 0; i < n; ++i) b[static_cast<size_t>(at + i)] = static_cast<char>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, static_cast<unsigned>(size), 4);
    put(6, 0, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<unsigned>(width), 4);
    put(22, static_cast<unsigned>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(30, 0, 4);
    put(34, static_cast<unsigned>(row * height), 4);
    put(38, 2835, 4);
    put(42, 2835, 4);
    put(46, 0, 4);
    put(50, 0, 4);
    return b;
}

// A picture record of the image database.
inline std::string pictureRecord(int code, const std::string& picture) { return idb_record::header(code) + picture; }

// Writes an array file of `records`, numbered from `first`, and returns its path.
inline std::string writeArrayFile(const std::string& path, const std::vector<std::string>& records, int first = 0) {
    torvik_lang::_Ref<util_ds::_ArrayFile> a = new util_ds::_ArrayFile();
    a->create(new torvik_io::_File(path.c_str()), static_cast<int>(records.size()), first);
    for (size_t i = 0; i < records.size(); ++i) {
        std::string r = records[i];
        a->writeRecord(first + static_cast<int>(i), r.empty() ? nullptr : &r[0], static_cast<int>(r.size()));
    }
    a->close();
    return path;
}

// Little- and big-endian byte strings.
inline std::string le(unsigned long long v, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += static_cast<char>(v >> (8 * i));
    return s;
}
inline std::string be(unsigned long long v, int n) {
    std::string s;
    for (int i = n - 1; i >= 0; --i) s += static_cast<char>(v >> (8 * i));
    return s;
}

}  // namespace sourcetest
