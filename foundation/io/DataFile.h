// A file opened as a stream: raw bytes, little-endian fixed-width values, text lines and
// positioning. Every failure is an IOException; the file closes when the last reference
// to the object goes.
#pragma once

#include <cstdint>
#include <cstdio>

#include "foundation/io/File.h"
#include "foundation/io/IDataInOut.h"
#include "foundation/lang/Array.h"

namespace torvik_io {

class _DataFile : public _Object, public IDataInOut {
public:
    _DataFile();
    ~_DataFile() override;
    _DataFile(const _DataFile&) = delete;
    _DataFile& operator=(const _DataFile&) = delete;

    // Closes the file.
    void finalize() override;

    // IDataInOut. `read` gives -1 once the end of the file had already been reached.
    int read(void* buffer, int length) override;
    void write(void* buffer, int length) override;

    // Opens `f` with a runtime library mode such as "rb", "wb" or "rwb" (read and write
    // an existing file); an open file is closed first.
    virtual void open(_Ref<_File> f, char const* mode);
    virtual void close();
    virtual int read(void* buffer, int offset, int length);
    virtual void print(char const* text);
    virtual int getFilePointer();
    virtual void seek(int position);
    virtual int readInt();
    virtual int64_t readLong();
    virtual int16_t readShort();
    virtual double readDouble();
    // 0xFF when nothing could be read.
    virtual uint8_t readByte();
    // The next line without its line feed and carriage returns; null at the end of the file.
    virtual _Ref<_String> readLine();
    virtual void writeShort(int v);
    virtual void writeInt(int v);
    virtual void writeLong(int64_t v);
    virtual int skipBytes(int n);

    // Reads up to `length` bytes from `position` of the file into `buffer` in one
    // positioned read where the platform has one, leaving the stream's own position
    // alone; returns the count read, short only at the end of the file.
    int readAt(void* buffer, int64_t position, int length);

    // The file's length, asked of the file system rather than found by seeking.
    int getSize();
    bool isOpen() const { return file != nullptr; }

    // The longest line readLine accepts.
    static constexpr int MAX_LINE = 1 << 24;

private:
    // The C stream needs a positioning call between reading and writing.
    enum class Direction { none, reading, writing };

    FILE* checkedStream();
    void turnTo(Direction d);
    uint64_t readLittleEndian(int n);
    void writeLittleEndian(uint64_t v, int n);

    FILE* file = nullptr;
    _Ref<torvik_lang::_Array<char, _Object>> lineBuffer;
    Direction direction = Direction::none;
};

}  // namespace torvik_io
