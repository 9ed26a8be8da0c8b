// Operating-system services on Windows.
#include "platform/os.h"

#include <windows.h>
#include <shlobj.h>

#include <climits>
#include <cstring>

namespace glimsel_os {

namespace {

// The character functions take a DWORD count; longer texts go in pieces.
template <typename Map>
void inPieces(char* text, size_t n, Map map) {
    while (n > 0) {
        DWORD piece = n > 0x40000000u ? 0x40000000u : static_cast<DWORD>(n);
        map(text, piece);
        text += piece;
        n -= piece;
    }
}

}  // namespace

void lowerCase(char* text, size_t n) { inPieces(text, n, [](char* t, DWORD k) { CharLowerBuffA(t, k); }); }
void upperCase(char* text, size_t n) { inPieces(text, n, [](char* t, DWORD k) { CharUpperBuffA(t, k); }); }
void toOem(char* text, size_t n) { inPieces(text, n, [](char* t, DWORD k) { CharToOemBuffA(t, t, k); }); }

bool userLanguageIsGerman() { return PRIMARYLANGID(LANGIDFROMLCID(GetThreadLocale())) == LANG_GERMAN; }

PathStyle nativePathStyle() { return PathStyle{'\\', ';', true}; }

bool pathExists(const char* path) { return path && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

bool realFolder(const char* path, FolderId& id) {
    if (!path) return false;
    const DWORD attributes = GetFileAttributesA(path);
    // A junction or a symbolic link is a reparse point: not followed.
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return false;
    }
    HANDLE folder = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(folder, &info) != 0;
    CloseHandle(folder);
    if (!known) return false;
    id.device = info.dwVolumeSerialNumber;
    id.node = uint64_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    return true;
}

bool makeDirectory(const char* path) { return path && CreateDirectoryA(path, nullptr) != 0; }

bool currentDirectory(std::string& out) {
    DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0) return false;
    std::string buffer(needed, '\0');
    DWORD n = GetCurrentDirectoryA(needed, &buffer[0]);
    if (n == 0 || n >= needed) return false;
    buffer.resize(n);
    out = buffer;
    return true;
}

bool userHomeDirectory(std::string& out) {
    // The profile folder is the parent of the user's Recent folder.
    LPITEMIDLIST list = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, CSIDL_RECENT, &list) != S_OK || !list) return false;
    char path[MAX_PATH] = {};
    BOOL found = SHGetPathFromIDListA(list, path);
    CoTaskMemFree(list);
    if (!found) return false;
    char* last = std::strrchr(path, '\\');
    if (!last || last == path) return false;
    *last = 0;
    if (last == path + 2 && path[1] == ':') std::strcpy(last, "\\");  // a drive's root
    out = path;
    return true;
}

std::string programPath() {
    // The buffer grows until the whole path fits; GetModuleFileNameA truncates silently.
    for (DWORD size = MAX_PATH; size <= 32768 * 2; size *= 2) {
        std::string buffer(size, '\0');
        DWORD n = GetModuleFileNameA(nullptr, &buffer[0], size);
        if (n == 0) return std::string();
        if (n < size) {
            buffer.resize(n);
            return buffer;
        }
    }
    return std::string();
}

std::string createTemporaryBeside(const std::string& path) {
    size_t cut = path.find_last_of("\\/:");
    std::string folder = cut == std::string::npos ? "." : path.substr(0, cut + 1);
    char name[MAX_PATH];
    if (GetTempFileNameA(folder.c_str(), "gli", 0, name) == 0) return std::string();
    return name;
}

bool replaceFile(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

namespace {

class Win32DirectorySearch : public DirectorySearch {
public:
    Win32DirectorySearch(HANDLE handle, const WIN32_FIND_DATAA& first, std::string pattern)
        : handle_(handle), data_(first), pattern_(std::move(pattern)) {}
    ~Win32DirectorySearch() override { FindClose(handle_); }

    bool next(std::string& name) override {
        while (pending_) {
            std::string found = data_.cFileName;
            pending_ = FindNextFileA(handle_, &data_) != 0;
            // The system matches the short 8.3 names too ("*.jpe" finds "a.jpeg"); only
            // the long name decides.
            if (wildcardMatch(pattern_.c_str(), found.c_str())) {
                name = found;
                return true;
            }
        }
        return false;
    }

private:
    HANDLE handle_;
    WIN32_FIND_DATAA data_;
    std::string pattern_;
    bool pending_ = true;
};

}  // namespace

std::unique_ptr<DirectorySearch> findFiles(const char* pattern) {
    if (!pattern) return nullptr;
    std::string full(pattern);
    size_t cut = full.find_last_of("\\/:");
    std::string namePattern = cut == std::string::npos ? full : full.substr(cut + 1);
    WIN32_FIND_DATAA data;
    HANDLE handle = FindFirstFileA(pattern, &data);
    if (handle == INVALID_HANDLE_VALUE) {
        // A readable folder without a matching name is an empty search, not a failure.
        if (GetLastError() != ERROR_FILE_NOT_FOUND) return nullptr;
        std::string folder = cut == std::string::npos ? "." : full.substr(0, cut + 1);
        DWORD attributes = GetFileAttributesA(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return nullptr;
        struct Empty : DirectorySearch {
            bool next(std::string&) override { return false; }
        };
        return std::make_unique<Empty>();
    }
    return std::make_unique<Win32DirectorySearch>(handle, data, namePattern);
}

bool mapFile(const char* path, bool writable, MappedFile& out) {
    if (!path) return false;
    HANDLE file = CreateFileA(path, writable ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    out.file = reinterpret_cast<intptr_t>(file);
    // Only the low 32 bits of the size are used.
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) low = 0;
    if (low == 0) {
        CloseHandle(file);
        return false;
    }
    HANDLE mapping = CreateFileMappingA(file, nullptr, writable ? PAGE_READWRITE : PAGE_READONLY, 0, 0, nullptr);
    if (!mapping) {
        CloseHandle(file);
        return false;
    }
    out.mapping = reinterpret_cast<intptr_t>(mapping);
    void* view = MapViewOfFile(mapping, writable ? FILE_MAP_WRITE : FILE_MAP_READ, 0, 0, low);
    if (!view) {
        CloseHandle(mapping);
        CloseHandle(file);
        return false;
    }
    out.view = view;
    out.length = low;
    return true;
}

bool unmapView(MappedFile& m) {
    bool ok = UnmapViewOfFile(m.view) != 0;
    m.view = nullptr;
    return ok;
}

bool closeMapping(MappedFile& m) { return CloseHandle(reinterpret_cast<HANDLE>(m.mapping)) != 0; }

bool closeFile(MappedFile& m) { return CloseHandle(reinterpret_cast<HANDLE>(m.file)) != 0; }

bool loadModule(const char* name) {
    // Modules stay loaded for the life of the process.
    return name && LoadLibraryA(name) != nullptr;
}

uint32_t tickCount() { return GetTickCount(); }

int64_t currentTimeMillis() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    uint64_t hundredNs = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    const uint64_t epochOffset = 116444736000000000ull;  // 1601-01-01 to 1970-01-01
    return static_cast<int64_t>((hundredNs - epochOffset) / 10000);
}

void sleepMillis(int ms) {
    if (ms > 0) Sleep(static_cast<DWORD>(ms));
}

void lowerPriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); }

void debugBreak() {
    if (IsDebuggerPresent()) DebugBreak();
}

}  // namespace glimsel_os
