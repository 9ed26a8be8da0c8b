// libFuzzer target: any bytes as an image database file. Opening either fails with a
// library exception or gives an index whose every record can be asked for; reading a
// record stays inside the buffer it was given; the database source always hands out a
// record with a name.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sources/ArrayFile.h"
#include "sources/FreewareIdb.h"

namespace {

// One file per fuzzing process, rewritten for every input.
const std::string& inputPath() {
    static const std::string path = [] {
        char name[] = "/tmp/glimsel-fuzz-idb-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0) std::abort();
        close(fd);
        return std::string(name);
    }();
    return path;
}

void removeInput() { std::remove(inputPath().c_str()); }

void readEveryRecord(const torvik_lang::_Ref<torvik_io::_File>& file) {
    torvik_lang::_Ref<util_ds::_ArrayFile> a = new util_ds::_ArrayFile();
    try {
        a->open(file, false);
    } catch (torvik_lang::Throwable&) {
        return;
    }
    torvik_lang::_Ref<torvik_lang::_Array<char, torvik_lang::_Object>> buffer =
        new torvik_lang::_Array<char, torvik_lang::_Object>(16);
    const int first = a->getFirstIndex();
    for (int i = 0; i < a->getCount(); ++i) {
        const int index = static_cast<int>(static_cast<int64_t>(first) + i);
        try {
            const int size = a->getRecordSize(index);
            if (size > buffer->length) buffer->setLength(size);
            a->readRecord(buffer, index, 0);
            // The record's bytes lie inside the file.
            if (a->offsets->data[i] < 0 || a->offsets->data[i] + size > a->fileLength) std::abort();
        } catch (torvik_lang::Throwable&) {
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    inputPath();
    std::atexit(removeInput);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* f = std::fopen(inputPath().c_str(), "wb");
    if (!f) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);

    torvik_lang::_Ref<torvik_io::_File> file = new torvik_io::_File(inputPath().c_str());
    readEveryRecord(file);

    torvik_lang::_Ref<_FreewareIdb> db = new _FreewareIdb();
    db->openDatabase(file);
    if (db->getImageCount() < 0) std::abort();
    // One call makes up to 101 draws, each a decode.
    std::srand(static_cast<unsigned>(size));
    torvik_lang::_Ref<img_lib::_ImageInfo> image = db->getRandomImage();
    if (!image || !image->name) std::abort();
    image->freeImage();
    return 0;
}
