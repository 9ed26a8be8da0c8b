#include "sources/ArrayFile.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "foundation/io/IOException.h"
#include "foundation/lang/L.h"

namespace util_ds {

using torvik_io::_DataFile;
using torvik_io::_File;
using torvik_io::IOException;
using torvik_lang::L;
using torvik_lang::Throwable;

namespace {

constexpr int MAGIC = 0x3434;
constexpr int VERSION = 2;
// The first read at opening: the header and the index of up to about 5,000 records.
constexpr int64_t FIRST_READ = 64 * 1024;

constexpr char const* NO_ARRAY_FILE = "No array file";
constexpr char const* VERSION_TOO_LARGE = "Version of Array file is to large";
constexpr char const* BAD_COUNT = "{Array file with %d records} de{Array-Datei mit %d Datens\xE4tzen}";
constexpr char const* SHORT_INDEX =
    "{Array file too short for its index of %d records} de{Array-Datei zu kurz f\xFCr ihren Index von %d Datens\xE4tzen}";
constexpr char const* NO_RECORD = "{Record %d is not in the array file} de{Datensatz %d ist nicht in der Array-Datei}";
constexpr char const* OUTSIDE =
    "{Record %d lies outside the array file} de{Datensatz %d liegt au\xDF" "erhalb der Array-Datei}";
constexpr char const* SHORT_BUFFER =
    "{Buffer too small for record %d} de{Puffer zu klein f\xFCr Datensatz %d}";
constexpr char const* CANT_READ = "{Can't read record %d} de{Kann Datensatz %d nicht lesen}";
constexpr char const* TOO_LONG = "{Array file longer than 2 GiB} de{Array-Datei l\xE4nger als 2 GiB}";

uint64_t decode(const unsigned char* p, int n, bool bigEndian) {
    uint64_t v = 0;
    if (bigEndian) {
        for (int i = 0; i < n; ++i) v = (v << 8) | p[i];
    } else {
        for (int i = n - 1; i >= 0; --i) v = (v << 8) | p[i];
    }
    return v;
}

int32_t decodeInt(const unsigned char* p, bool bigEndian) {
    return static_cast<int32_t>(static_cast<uint32_t>(decode(p, 4, bigEndian)));
}

}  // namespace

_ArrayFile::_ArrayFile() = default;

_ArrayFile::~_ArrayFile() = default;

void _ArrayFile::finalize() {
    try {
        close();
    } catch (IOException&) {
    }
}

void _ArrayFile::allocateIndex() {
    const int n = recordCount > 0 ? recordCount : 0;
    offsets = new _Array<int64_t, _Object>(n);
    sizes = new _Array<int, _Object>(n);
}

void _ArrayFile::open(_Ref<_File> f, bool writable) {
    close();
    if (!f) torvik_lang::throwRefException(0);
    if (!f->exists()) throw IOException();
    // Nothing of an earlier file survives a failed open.
    firstIndex = recordCount = 0;
    fileLength = appendPosition = 0;
    allocateIndex();
    file = new _DataFile();
    file->open(f, writable ? "rwb" : "rb");
    const int64_t length = file->getSize();

    // One positioned read takes the header and, for a small file, the whole index with
    // it; a larger index takes one more. Bytes missing at the end of a short file count
    // as zero, so a file shorter than its magic is "No array file".
    std::vector<unsigned char> head(static_cast<size_t>(std::clamp<int64_t>(length, HEADER_SIZE, FIRST_READ)));
    const int got = file->readAt(head.data(), 0, static_cast<int>(head.size()));
    const unsigned char* header = head.data();
    if (decode(header, 2, false) != MAGIC) throw IOException(NO_ARRAY_FILE);
    const int16_t version = static_cast<int16_t>(decode(header + 2, 2, true));
    if (version > VERSION) throw IOException(VERSION_TOO_LARGE);
    const bool bigEndian = version <= 1;
    const int32_t first = decodeInt(header + 4, bigEndian);
    const int32_t count = decodeInt(header + 8, bigEndian);

    // An index that the file cannot hold is refused before anything is allocated for it.
    if (count < 0) throw IOException(L::getString(BAD_COUNT, count));
    const int64_t indexBytes = int64_t(count) * ENTRY_SIZE;
    if (got < HEADER_SIZE || HEADER_SIZE + indexBytes > length) throw IOException(L::getString(SHORT_INDEX, count));

    firstIndex = first;
    recordCount = count;
    fileLength = length;
    allocateIndex();
    std::vector<unsigned char> index;
    const unsigned char* entries = header + HEADER_SIZE;
    if (HEADER_SIZE + indexBytes > got) {
        // The part of the index that the first read brought, and the rest in one more.
        const int have = got - HEADER_SIZE;
        index.resize(static_cast<size_t>(indexBytes));
        std::memcpy(index.data(), entries, static_cast<size_t>(have));
        const int rest = static_cast<int>(indexBytes - have);
        if (file->readAt(index.data() + have, got, rest) != rest) throw IOException(L::getString(SHORT_INDEX, count));
        entries = index.data();
    }
    decodeIndex(entries, bigEndian);
    // Records written from now on go behind everything the file already holds, never over
    // the existing records.
    appendPosition = writable ? length : HEADER_SIZE + indexBytes;
}

void _ArrayFile::decodeIndex(const unsigned char* bytes, bool bigEndian) {
    int64_t* offset = offsets->data;
    int* size = sizes->data;
    // Whole fields, turned round only when the file's byte order is not the machine's:
    // a large index decodes at the speed of a copy.
    const bool swap = bigEndian != (__BYTE_ORDER__ == __ORDER_BIG_ENDIAN__);
    for (int i = 0; i < recordCount; ++i, bytes += ENTRY_SIZE) {
        uint64_t o;
        uint32_t n;
        std::memcpy(&o, bytes, sizeof o);
        std::memcpy(&n, bytes + 8, sizeof n);
        offset[i] = static_cast<int64_t>(swap ? __builtin_bswap64(o) : o);
        size[i] = static_cast<int32_t>(swap ? __builtin_bswap32(n) : n);
    }
}

void _ArrayFile::create(_Ref<_File> f, int count, int first) {
    close();
    if (!f) torvik_lang::throwRefException(0);
    if (count < 0) throw IOException(L::getString(BAD_COUNT, count));
    const int64_t headerBytes = HEADER_SIZE + int64_t(count) * ENTRY_SIZE;
    if (headerBytes > INT_MAX) throw IOException(TOO_LONG);
    file = new _DataFile();
    file->open(f, "wb");
    file->writeShort(MAGIC);
    file->writeShort(VERSION << 8);  // the bytes 0x00 0x02: the version is stored big-endian
    file->writeInt(first);
    file->writeInt(count);
    firstIndex = first;
    recordCount = count;

    // The index is reserved with zeros; each entry gets its value when its record is written.
    std::vector<char> zeros(64 * 1024);
    for (int64_t left = headerBytes - HEADER_SIZE; left > 0;) {
        const int n = static_cast<int>(left < int64_t(zeros.size()) ? left : int64_t(zeros.size()));
        file->write(zeros.data(), n);
        left -= n;
    }
    appendPosition = headerBytes;
    fileLength = headerBytes;
    allocateIndex();
    for (int i = 0; i < count; ++i) {
        offsets->data[i] = 0;
        sizes->data[i] = 0;
    }
}

int _ArrayFile::entryOf(int index) {
    const int64_t entry = int64_t(index) - firstIndex;
    if (entry < 0 || entry >= recordCount || !offsets || !sizes || entry >= offsets->length ||
        entry >= sizes->length) {
        throw Throwable(L::getString(NO_RECORD, index));
    }
    return static_cast<int>(entry);
}

void _ArrayFile::writeRecord(int index, void* data, int length) {
    const int64_t entry = int64_t(index) - firstIndex;
    if (entry < 0 || entry >= recordCount) throw Throwable();
    if (!file) torvik_lang::throwRefException(0);
    if (length < 0) throw IOException(L::getString("Can't write %d bytes", length));
    if (length > 0 && !data) torvik_lang::throwRefException(0);
    if (appendPosition + length > INT_MAX) throw IOException(TOO_LONG);

    file->seek(static_cast<int>((entry + 1) * ENTRY_SIZE));
    file->writeLong(appendPosition);
    file->writeInt(length);
    offsets->at(static_cast<int>(entry)) = appendPosition;
    sizes->at(static_cast<int>(entry)) = length;
    file->seek(static_cast<int>(appendPosition));
    file->write(data, length);
    appendPosition += length;
    if (appendPosition > fileLength) fileLength = appendPosition;
}

int _ArrayFile::getFirstIndex() { return firstIndex; }

int _ArrayFile::getCount() { return recordCount; }

void _ArrayFile::checkExtent(int entry) {
    const int64_t offset = offsets->data[entry];
    const int size = sizes->data[entry];
    if (offset < 0 || size < 0 || offset > fileLength - size) {
        throw IOException(L::getString(OUTSIDE, int(entry + int64_t(firstIndex))));
    }
}

int _ArrayFile::getRecordSize(int index) {
    const int entry = entryOf(index);
    checkExtent(entry);
    return sizes->data[entry];
}

void _ArrayFile::readRecord(_Ref<_Array<char, _Object>> buffer, int index, int offset) {
    if (!buffer) torvik_lang::throwRefException(0);
    const int size = getRecordSize(index);
    if (offset < 0 || int64_t(offset) + size > buffer->length) throw Throwable(L::getString(SHORT_BUFFER, index));
    if (!file) torvik_lang::throwRefException(0);
    // One positioned read; the file may have shrunk since it was opened.
    if (size > 0 && file->readAt(buffer->data + offset, offsets->data[entryOf(index)], size) != size) {
        throw IOException(L::getString(CANT_READ, index));
    }
}

void _ArrayFile::close() {
    if (file) file->close();
    file = nullptr;
}

}  // namespace util_ds
