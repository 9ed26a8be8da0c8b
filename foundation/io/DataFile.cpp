#include "foundation/io/DataFile.h"

#include <climits>
#include <cstring>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

#include "foundation/io/IOException.h"
#include "foundation/lang/L.h"

namespace torvik_io {

using torvik_lang::_S;
using torvik_lang::L;

namespace {

constexpr char const* CANT_OPEN = "{Can't open file '%s'} de{Kann Datei '%s' nicht \xF6" "ffnen}";
constexpr char const* NOT_OPEN = "{The file is not open} de{Die Datei ist nicht ge\xF6" "ffnet}";

using LineArray = torvik_lang::_Array<char, _Object>;

}  // namespace

_DataFile::_DataFile() = default;

_DataFile::~_DataFile() { close(); }

void _DataFile::finalize() { close(); }

FILE* _DataFile::checkedStream() {
    if (!file) throw IOException(L::getString(NOT_OPEN));
    return file;
}

void _DataFile::turnTo(Direction d) {
    // A stream may not go from writing to reading, or back, without a positioning call
    // in between; staying where we are is enough.
    if (direction != Direction::none && direction != d && std::fseek(file, 0, SEEK_CUR) != 0) {
        throw IOException();
    }
    direction = d;
}

void _DataFile::open(_Ref<_File> f, char const* mode) {
    if (!f || !mode) torvik_lang::throwRefException(0);
    close();
    _Ref<_String> path = f->getPath();
    // "rwb" asks for reading and writing an existing file, which the C library spells "r+b".
    char const* m = std::strcmp(mode, "rwb") == 0 ? "r+b" : mode;
    file = std::fopen(path->c_str(), m);
    if (!file) throw IOException(L::getString(CANT_OPEN, path->c_str()));
    direction = Direction::none;
}

void _DataFile::close() {
    if (file) std::fclose(file);
    file = nullptr;
    direction = Direction::none;
}

int _DataFile::read(void* buffer, int length) {
    FILE* s = checkedStream();
    if (length < 0) throw IOException(L::getString("Can't read %d bytes", length));
    if (length > 0 && !buffer) torvik_lang::throwRefException(0);
    // A stream in error would deliver nothing forever; callers that read until -1 stop.
    if (std::feof(s) || std::ferror(s)) return -1;
    turnTo(Direction::reading);
    return static_cast<int>(std::fread(buffer, 1, static_cast<size_t>(length), s));
}

int _DataFile::read(void* buffer, int offset, int length) {
    checkedStream();
    if (offset < 0 || length < 0) {
        throw IOException(L::getString("Can't read %d bytes at offset %d", length, offset));
    }
    if (!buffer) torvik_lang::throwRefException(0);
    return read(static_cast<char*>(buffer) + offset, length);
}

void _DataFile::write(void* buffer, int length) {
    FILE* s = checkedStream();
    if (length < 0) throw IOException(L::getString("Can't write %d bytes", length));
    if (length == 0) return;
    if (!buffer) torvik_lang::throwRefException(0);
    turnTo(Direction::writing);
    if (std::fwrite(buffer, 1, static_cast<size_t>(length), s) < static_cast<size_t>(length)) {
        throw IOException(L::getString("Can't write %d bytes", length));
    }
}

void _DataFile::print(char const* text) {
    FILE* s = checkedStream();
    if (!text) torvik_lang::throwRefException(0);
    turnTo(Direction::writing);
    if (std::fputs(text, s) == EOF) throw IOException(L::getString("Error writing string '%s'", text));
}

int _DataFile::getFilePointer() {
    long position = std::ftell(checkedStream());
    // Positions beyond the int range cannot be told to the caller.
    if (position < 0 || position > INT_MAX) throw IOException();
    return static_cast<int>(position);
}

void _DataFile::seek(int position) {
    // Refused before the stream sees it: some runtimes move the position on a failed seek.
    if (position < 0) throw IOException();
    if (std::fseek(checkedStream(), position, SEEK_SET) != 0) throw IOException();
    direction = Direction::none;
}

int _DataFile::getSize() {
    FILE* s = checkedStream();
#ifndef _WIN32
    // Written bytes still in the stream's buffer belong to the file as well.
    if (direction == Direction::writing && std::fflush(s) != 0) throw IOException();
    struct stat st;
    if (::fstat(::fileno(s), &st) != 0 || st.st_size < 0 || st.st_size > INT_MAX) throw IOException();
    return static_cast<int>(st.st_size);
#else
    long here = std::ftell(s);
    if (here < 0) throw IOException();
    if (std::fseek(s, 0, SEEK_END) != 0) throw IOException();
    long size = std::ftell(s);
    // Back to where we were before judging the size, so a failure leaves the position alone.
    if (std::fseek(s, here, SEEK_SET) != 0) throw IOException();
    direction = Direction::none;
    if (size < 0 || size > INT_MAX) throw IOException();
    return static_cast<int>(size);
#endif
}

int _DataFile::readAt(void* buffer, int64_t position, int length) {
    FILE* s = checkedStream();
    if (position < 0 || length < 0) {
        throw IOException(L::getString("Can't read %d bytes at offset %d", length, static_cast<int>(position)));
    }
    if (length == 0) return 0;
    if (!buffer) torvik_lang::throwRefException(0);
#ifndef _WIN32
    if (direction == Direction::writing && std::fflush(s) != 0) throw IOException();
    char* to = static_cast<char*>(buffer);
    int done = 0;
    while (done < length) {
        ssize_t n = ::pread(::fileno(s), to + done, static_cast<size_t>(length - done), position + done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw IOException(L::getString("Can't read %d bytes at offset %d", length, static_cast<int>(position)));
        if (n == 0) break;
        done += static_cast<int>(n);
    }
    return done;
#else
    // Without pread: read at the position, then go back to where the stream was.
    if (position > INT_MAX) throw IOException();
    long here = std::ftell(s);
    if (here < 0) throw IOException();
    seek(static_cast<int>(position));
    std::clearerr(s);
    int n = read(buffer, length);
    if (std::fseek(s, here, SEEK_SET) != 0) throw IOException();
    direction = Direction::none;
    return n < 0 ? 0 : n;
#endif
}

uint64_t _DataFile::readLittleEndian(int n) {
    // Bytes missing at the end of the file read as zero.
    uint8_t bytes[8] = {};
    read(bytes, n);
    uint64_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | bytes[i];
    return v;
}

void _DataFile::writeLittleEndian(uint64_t v, int n) {
    uint8_t bytes[8];
    for (int i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(v >> (8 * i));
    write(bytes, n);
}

int _DataFile::readInt() { return static_cast<int32_t>(static_cast<uint32_t>(readLittleEndian(4))); }

int64_t _DataFile::readLong() { return static_cast<int64_t>(readLittleEndian(8)); }

int16_t _DataFile::readShort() { return static_cast<int16_t>(static_cast<uint16_t>(readLittleEndian(2))); }

double _DataFile::readDouble() {
    uint64_t bits = readLittleEndian(8);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

uint8_t _DataFile::readByte() {
    uint8_t b = 0xFF;
    read(&b, 1);
    return b;
}

_Ref<_String> _DataFile::readLine() {
    if (!lineBuffer) lineBuffer = new LineArray(80);
    LineArray& line = *lineBuffer;
    int position = 0;
    bool atEnd = false;
    for (;;) {
        // The end of the file is told by read itself, so a 0xFF byte in a line is kept.
        uint8_t c;
        if (read(&c, 1) != 1) {
            atEnd = true;
            break;
        }
        if (c == '\n') break;
        if (c == '\r') continue;
        if (position >= MAX_LINE) {
            throw IOException(L::getString("Line longer than %d bytes", MAX_LINE));
        }
        if (position >= line.capacity - 1) {
            long long grown = static_cast<long long>(position) * 10 / 9 + 10;
            line.setLength(static_cast<int>(grown > MAX_LINE + 1 ? MAX_LINE + 1 : grown));
        }
        line.data[position++] = static_cast<char>(c);
    }
    if (atEnd && position == 0) return nullptr;
    line.data[position] = 0;
    return _S(line.data);
}

void _DataFile::writeShort(int v) { writeLittleEndian(static_cast<uint32_t>(v), 2); }

void _DataFile::writeInt(int v) { writeLittleEndian(static_cast<uint32_t>(v), 4); }

void _DataFile::writeLong(int64_t v) { writeLittleEndian(static_cast<uint64_t>(v), 8); }

int _DataFile::skipBytes(int n) {
    long long target = static_cast<long long>(getFilePointer()) + n;
    if (target < 0 || target > INT_MAX) throw IOException();
    seek(static_cast<int>(target));
    return n;
}

}  // namespace torvik_io
