#include "sources/FileMapping.h"

#include <cstdint>
#include <cstring>
#include <utility>

CFileMapping::~CFileMapping() {
    if (isOpen()) close();
}

CFileMapping::CFileMapping(CFileMapping&& other) noexcept : handles(other.handles) {
    other.handles.view = nullptr;
}

CFileMapping& CFileMapping::operator=(CFileMapping&& other) noexcept {
    if (this != &other) {
        if (isOpen()) close();
        handles = other.handles;
        other.handles.view = nullptr;
    }
    return *this;
}

bool CFileMapping::open(const char* fileName, bool writable) {
    if (!fileName || isOpen()) return false;
    return glimsel_os::mapFile(fileName, writable, handles);
}

bool CFileMapping::close() {
    if (!isOpen()) return false;
    if (!glimsel_os::unmapView(handles)) return false;
    if (!glimsel_os::closeMapping(handles)) return false;
    return glimsel_os::closeFile(handles);
}

long CFileMapping::size() const { return static_cast<long>(static_cast<uint32_t>(handles.length)); }

void* CFileMapping::getPtr(long offset) const { return static_cast<char*>(handles.view) + offset; }

long CFileMapping::readLong(long offset) const {
    const unsigned char* p = static_cast<const unsigned char*>(getPtr(offset));
    uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                 static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    return static_cast<long>(static_cast<int32_t>(v));
}
