// Pictures and database files for the image source tests.
#pragma once

#include <string>
#include <vector>

#include "foundation/io/File.h"
#include "sources/ArrayFile.h"
#include "sources/IdbRecord.h"
#include "tests/kit/PictureBytes.h"
#include "tests/kit/TempDir.h"

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
    const size_t bytes = testkit::dibStride(width, 24) * static_cast<size_t>(height);
    const testkit::Bytes b = testkit::bmpFile(testkit::dibHeader(width, height, 24, 0, 0, static_cast<uint32_t>(bytes)),
                                              testkit::Bytes(bytes, 0x80));
    return std::string(b.begin(), b.end());
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

using testkit::be;
using testkit::le;

}  // namespace sourcetest
