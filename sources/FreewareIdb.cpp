#include "sources/FreewareIdb.h"

#include <cstdlib>
#include <new>
#include <string>

#include "foundation/lang/L.h"
#include "platform/os.h"
#include "sources/IdbRecord.h"

using img_lib::_ImageInfo;
using torvik_io::_File;
using torvik_lang::_Ref;
using torvik_lang::_String;

namespace {

constexpr char const* NO_IMAGES = "No images in system";
constexpr int INITIAL_BUFFER = 1000;

}  // namespace

_FreewareIdb::_FreewareIdb()
    : arrayFile(new util_ds::_ArrayFile()),
      recordBuffer(new torvik_lang::_Array<char, torvik_lang::_Object>(INITIAL_BUFFER)) {}

_FreewareIdb::~_FreewareIdb() = default;

_Ref<_File> findDatabaseFile(const _Ref<_File>& program) {
    if (!program) return nullptr;
    _Ref<_File> parent = program->getParentFile();
    if (!parent) return nullptr;
    _Ref<_File> database = new _File(parent, _FreewareIdb::FILE_NAME);
    return database->exists() ? database : nullptr;
}

_Ref<_File> findDatabaseFile() {
    const std::string program = glimsel_os::programPath();
    if (program.empty()) return nullptr;
    return findDatabaseFile(new _File(program.c_str()));
}

bool _FreewareIdb::openDatabase() { return openDatabase(findDatabaseFile()); }

bool _FreewareIdb::openDatabase(const _Ref<_File>& f) {
    if (!f) return false;
    try {
        arrayFile->open(f, false);
    } catch (torvik_lang::Throwable&) {
        return false;
    }
    return true;
}

int _FreewareIdb::getImageCount() {
    // Record 0 is no picture; a file without records offers none, not -1.
    const int n = arrayFile->getCount() - idb_record::kFirstPicture;
    return n > 0 ? n : 0;
}

_Ref<_ImageInfo> _FreewareIdb::getRandomImage() {
    _Ref<_String> message = torvik_lang::_S(NO_IMAGES);
    const int n = getImageCount();
    for (int attempts = 100; n > 0 && attempts-- >= 0;) {
        const int k = std::rand() % n + idb_record::kFirstPicture;
        message = torvik_lang::L::sprintf("Image Nr: %d", k);
        _Ref<_ImageInfo> result;
        try {
            const int size = arrayFile->getRecordSize(k);
            if (size < idb_record::kHeaderBytes) continue;
            // Growing copies the old contents, so the buffer is only grown when it must.
            if (size > recordBuffer->length) recordBuffer->setLength(size);
            arrayFile->readRecord(recordBuffer, k, 0);
            idb_record::Picture picture;
            if (!idb_record::readPicture(recordBuffer->data, size, picture)) continue;
            result = img_lib::loadImage(picture.bytes, picture.size, picture.type, message->c_str());
        } catch (torvik_lang::Throwable&) {
            continue;
        } catch (std::bad_alloc&) {
            continue;
        }
        if (result) return result;
    }
    _Ref<_ImageInfo> empty = new _ImageInfo();
    empty->name = message;
    return empty;
}
