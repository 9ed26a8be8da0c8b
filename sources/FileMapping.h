// A read-only (or read-write) mapped view of a whole existing file.
//
// The picture readers use it to read a file as one block of bytes; the BMP reader keeps
// it open while its picture lives, because the picture's pixels are the mapped file.
#pragma once

#include "platform/os.h"

class CFileMapping {
public:
    CFileMapping() = default;
    virtual ~CFileMapping();

    // A copy would unmap the same view twice; a mapping moves instead, leaving the
    // source closed.
    CFileMapping(const CFileMapping&) = delete;
    CFileMapping& operator=(const CFileMapping&) = delete;
    CFileMapping(CFileMapping&& other) noexcept;
    CFileMapping& operator=(CFileMapping&& other) noexcept;

    // Maps the whole file; false for a missing, unreadable or empty file.
    bool open(const char* fileName, bool writable);
    // Unmaps and closes; true when every step succeeded, false when already closed.
    bool close();

    bool isOpen() const { return handles.view != nullptr; }
    // The size in bytes (the low 32 bits of the file's size).
    long size() const;
    void* getPtr(long offset) const;
    // The signed 32-bit little-endian value at `offset`.
    long readLong(long offset) const;

    intptr_t fileHandle() const { return handles.file; }
    intptr_t mappingHandle() const { return handles.mapping; }

private:
    glimsel_os::MappedFile handles;
};
