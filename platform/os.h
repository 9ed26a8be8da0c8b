// Operating-system services used by the portable core.
//
// The foundation library, the decoders and the image sources reach the operating
// system only through these functions; each platform folder implements them once
// (platform/linux for POSIX systems, platform/win32 for Windows). The declarations
// use plain C++ types only, so including this header never pulls in a system header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace glimsel_os {

// ---- Text ----------------------------------------------------------------------

// In-place case mapping of `n` bytes in the user's 8-bit code page. Bytes that are
// part of a multi-byte sequence (UTF-8 on Linux) are left as they are.
void lowerCase(char* text, size_t n);
void upperCase(char* text, size_t n);

// Converts `n` bytes in place to the console's OEM code page; the identity where
// there is no OEM code page.
void toOem(char* text, size_t n);

// True when the user's language is German (the message texts then use their
// German section).
bool userLanguageIsGerman();

// ---- Paths and folders ---------------------------------------------------------

struct PathStyle {
    char separator;      // between the names of a path
    char pathSeparator;  // between the paths of a path list
    bool driveLetters;   // "C:\" roots, as on Windows
};

PathStyle nativePathStyle();

bool pathExists(const char* path);
bool makeDirectory(const char* path);
bool currentDirectory(std::string& out);
bool userHomeDirectory(std::string& out);

// The full path of the running program, resolved to the real file.
std::string programPath();

// A wildcard search in one folder. `pattern` is a full path whose last name may hold
// '*' and '?'; the match ignores letter case. Names come in the folder's own order.
class DirectorySearch {
public:
    virtual ~DirectorySearch() = default;
    // Stores the next matching name and returns true, or returns false at the end.
    virtual bool next(std::string& name) = 0;
};

// Starts a search; returns null when the folder cannot be read.
std::unique_ptr<DirectorySearch> findFiles(const char* pattern);

// The identity of a folder, for telling whether a walk has been there before.
struct FolderId {
    uint64_t device = 0;
    uint64_t node = 0;
    bool operator<(const FolderId& o) const { return device != o.device ? device < o.device : node < o.node; }
};

// True, with its identity, when `path` is a folder itself and not a symbolic link.
bool realFolder(const char* path, FolderId& id);

// Wildcard match of one name, without regard to ASCII letter case.
bool wildcardMatch(const char* pattern, const char* name);

// Makes a new, empty file with a unique name in the folder of `path`, with the usual
// permissions of a new file; its path, or an empty string when that fails.
std::string createTemporaryBeside(const std::string& path);
// Renames `from` to `to`, replacing a file of that name.
bool replaceFile(const char* from, const char* to);

// ---- Mapped files --------------------------------------------------------------

// Raw handles of a mapped file. The core keeps these opaque.
struct MappedFile {
    intptr_t file = -1;
    intptr_t mapping = -1;
    void* view = nullptr;
    size_t length = 0;
};

// Opens and maps a whole existing file. Returns false (and leaves `view` null) when the
// file is missing, empty or cannot be mapped; whatever was opened is closed again.
// `mapping` is only touched once the file is open.
bool mapFile(const char* path, bool writable, MappedFile& out);
// Unmaps the view (step 1) and closes the handles (steps 2 and 3); false at the
// first step that fails.
bool unmapView(MappedFile& m);
bool closeMapping(MappedFile& m);
bool closeFile(MappedFile& m);

// ---- Modules -------------------------------------------------------------------

// Loads a dynamic library by name; its static initialisation runs. True on success.
bool loadModule(const char* name);

// ---- Time ----------------------------------------------------------------------

// Milliseconds since an arbitrary start; wraps around at 2^32.
uint32_t tickCount();
// Milliseconds since 1970-01-01 00:00 UTC.
int64_t currentTimeMillis();
void sleepMillis(int ms);

// ---- Processes ---------------------------------------------------------------

// Lowers the priority of the calling thread below normal.
void lowerPriority();

// ---- Debugging -----------------------------------------------------------------

void debugBreak();

}  // namespace glimsel_os
