// Reads an image database record by record for the tool's commands (the record layout
// is in sources/IdbRecord.h).
#pragma once

#include <string>

#include "imaging/ImageInfo.h"
#include "sources/ArrayFile.h"

class IdbReader {
public:
    // Opens the database at `path`; false with a message in `error`.
    bool open(const char* path, std::string& error);

    // The first record index and the number of records, record 0 included.
    int firstIndex() const;
    int count() const;
    bool contains(int index) const;

    // Reads record `index`. The picture's bytes stay valid until the next read.
    bool read(int index, std::string& error);
    int code() const { return code_; }
    const char* picture() const { return picture_; }
    int pictureSize() const { return pictureSize_; }

    // Decodes the record read last; throws what the decoder throws, null for an unknown
    // format code. A BMP picture points into this reader's buffer.
    torvik_lang::_Ref<img_lib::_ImageInfo> decode(int index);

private:
    torvik_lang::_Ref<util_ds::_ArrayFile> file;
    torvik_lang::_Ref<torvik_lang::_Array<char, torvik_lang::_Object>> buffer;
    int code_ = 0;
    const char* picture_ = nullptr;
    int pictureSize_ = 0;
};

// "JPEG", "BMP", "GIF", or "code N" for any other format code.
std::string formatName(int code);

// Reads an integer argument; false when `text` is not one.
bool parseIndex(const char* text, int& value);
