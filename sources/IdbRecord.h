// The record layout of the image database: record 0 is reserved and holds no picture;
// every other record is the picture's format code in one byte, three unused bytes, then
// the picture file's own bytes. The database source reads it, the database tool writes
// and reads it.
#pragma once

#include <string>

#include "imaging/ImageInfo.h"

namespace idb_record {

// The first record index that can hold a picture.
constexpr int kFirstPicture = 1;
// Format code and three unused bytes in front of the picture.
constexpr int kHeaderBytes = 4;

// The bytes in front of a picture of format `type`.
inline std::string header(int type) { return std::string(1, static_cast<char>(type)) + std::string(3, '\0'); }

// The picture a record of `size` bytes at `record` holds; false for a record too short
// to hold one. The format code is read as the signed byte it was written as.
struct Picture {
    img_lib::ImageType type = img_lib::IMAGE_JPEG;
    const char* bytes = nullptr;
    int size = 0;
};
inline bool readPicture(const char* record, int size, Picture& picture) {
    if (!record || size < kHeaderBytes) return false;
    picture.type = static_cast<img_lib::ImageType>(static_cast<signed char>(record[0]));
    picture.bytes = record + kHeaderBytes;
    picture.size = size - kHeaderBytes;
    return true;
}

}  // namespace idb_record
