#include "tools/IdbReader.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "foundation/lang/L.h"
#include "sources/IdbRecord.h"

using torvik_lang::_Ref;

bool IdbReader::open(const char* path, std::string& error) {
    file = new util_ds::_ArrayFile();
    buffer = new torvik_lang::_Array<char, torvik_lang::_Object>(1000);
    try {
        file->open(new torvik_io::_File(path), false);
    } catch (torvik_lang::Throwable& e) {
        error = std::string(path) + ": " + (*e.messageText() ? e.messageText() : "cannot be opened as an image database");
        return false;
    }
    return true;
}

int IdbReader::firstIndex() const { return file->getFirstIndex(); }

int IdbReader::count() const { return file->getCount(); }

bool IdbReader::contains(int index) const {
    const long long entry = static_cast<long long>(index) - file->getFirstIndex();
    return entry >= 0 && entry < file->getCount();
}

bool IdbReader::read(int index, std::string& error) {
    code_ = 0;
    picture_ = nullptr;
    pictureSize_ = 0;
    try {
        const int size = file->getRecordSize(index);
        if (size < idb_record::kHeaderBytes) {
            error = "record of " + std::to_string(size) + " bytes holds no picture";
            return false;
        }
        if (size > buffer->length) buffer->setLength(size);
        file->readRecord(buffer, index, 0);
    } catch (torvik_lang::Throwable& e) {
        error = e.messageText();
        return false;
    }
    idb_record::Picture picture;
    idb_record::readPicture(buffer->data, file->getRecordSize(index), picture);
    code_ = picture.type;
    picture_ = picture.bytes;
    pictureSize_ = picture.size;
    return true;
}

_Ref<img_lib::_ImageInfo> IdbReader::decode(int index) {
    _Ref<torvik_lang::_String> name = torvik_lang::L::sprintf("Image Nr: %d", index);
    return img_lib::loadImage(picture_, pictureSize_, static_cast<img_lib::ImageType>(code_), name->c_str());
}

std::string formatName(int code) {
    switch (code) {
        case img_lib::IMAGE_JPEG: return "JPEG";
        case img_lib::IMAGE_BMP: return "BMP";
        case img_lib::IMAGE_GIF: return "GIF";
        case img_lib::IMAGE_PNG: return "PNG";
        default: return "code " + std::to_string(code);
    }
}

bool parseIndex(const char* text, int& value) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end || errno || v < INT_MIN || v > INT_MAX) return false;
    value = static_cast<int>(v);
    return true;
}
