// Operating-system services on POSIX systems (Linux).
#include "platform/os.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace glimsel_os {

namespace {

// Bytes of 0x80 and above belong to UTF-8 sequences in the locales we meet; mapping
// them byte by byte could break a sequence, so only single-byte characters change.
template <typename Map>
void mapBytes(char* text, size_t n, Map map) {
    for (size_t i = 0; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) text[i] = static_cast<char>(map(c));
    }
}

bool beginsWithGerman(const char* value) {
    return value && value[0] == 'd' && value[1] == 'e';
}

}  // namespace

void lowerCase(char* text, size_t n) { mapBytes(text, n, [](int c) { return std::tolower(c); }); }
void upperCase(char* text, size_t n) { mapBytes(text, n, [](int c) { return std::toupper(c); }); }
void toOem(char*, size_t) {}

bool userLanguageIsGerman() {
    // The first of these that is set and not empty names the language, as for gettext.
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return beginsWithGerman(value);
    }
    return false;
}

PathStyle nativePathStyle() { return PathStyle{'/', ':', false}; }

bool realFolder(const char* path, FolderId& id) {
    struct stat st;
    if (!path || ::lstat(path, &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    id.device = static_cast<uint64_t>(st.st_dev);
    id.node = static_cast<uint64_t>(st.st_ino);
    return true;
}

bool pathExists(const char* path) {
    struct stat st;
    return path && ::stat(path, &st) == 0;
}

bool makeDirectory(const char* path) { return path && ::mkdir(path, 0777) == 0; }

bool currentDirectory(std::string& out) {
    char buffer[PATH_MAX];
    if (!::getcwd(buffer, sizeof buffer)) return false;
    out = buffer;
    return true;
}

bool userHomeDirectory(std::string& out) {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* pw = ::getpwuid(::getuid());
        home = pw ? pw->pw_dir : nullptr;
    }
    if (!home || !*home) return false;
    out = home;
    return true;
}

std::string programPath() {
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return std::string();
    buffer[n] = 0;
    char resolved[PATH_MAX];
    if (::realpath(buffer, resolved)) return resolved;
    return buffer;
}

std::string createTemporaryBeside(const std::string& path) {
    std::string name = path + ".XXXXXX";
    const int fd = ::mkstemp(&name[0]);
    if (fd < 0) return std::string();
    // mkstemp makes the file private; the result gets the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    return name;
}

bool replaceFile(const char* from, const char* to) { return std::rename(from, to) == 0; }

namespace {

class PosixDirectorySearch : public DirectorySearch {
public:
    PosixDirectorySearch(DIR* dir, std::string pattern) : dir_(dir), pattern_(std::move(pattern)) {}
    ~PosixDirectorySearch() override { ::closedir(dir_); }

    bool next(std::string& name) override {
        while (dirent* entry = ::readdir(dir_)) {
            if (wildcardMatch(pattern_.c_str(), entry->d_name)) {
                name = entry->d_name;
                return true;
            }
        }
        return false;
    }

private:
    DIR* dir_;
    std::string pattern_;
};

}  // namespace

std::unique_ptr<DirectorySearch> findFiles(const char* pattern) {
    if (!pattern) return nullptr;
    std::string full(pattern);
    std::string folder;
    std::string namePattern;
    size_t slash = full.rfind('/');
    if (slash == std::string::npos) {
        folder = ".";
        namePattern = full;
    } else {
        folder = slash == 0 ? "/" : full.substr(0, slash);
        namePattern = full.substr(slash + 1);
    }
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return nullptr;
    return std::make_unique<PosixDirectorySearch>(dir, namePattern);
}

bool mapFile(const char* path, bool writable, MappedFile& out) {
    int fd = ::open(path, (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd < 0) return false;
    out.file = fd;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) {
        ::close(fd);
        return false;
    }
    // Only the low 32 bits of the size are used, as on the platform this design comes from.
    size_t length = static_cast<uint32_t>(static_cast<uint64_t>(st.st_size));
    if (length == 0) {
        ::close(fd);
        return false;
    }
    out.mapping = fd;  // POSIX has no separate mapping object; the descriptor stands in
    void* view = ::mmap(nullptr, length, writable ? PROT_READ | PROT_WRITE : PROT_READ,
                        writable ? MAP_SHARED : MAP_PRIVATE, fd, 0);
    if (view == MAP_FAILED) {
        ::close(fd);
        return false;
    }
    out.view = view;
    out.length = length;
    return true;
}

bool unmapView(MappedFile& m) {
    bool ok = ::munmap(m.view, m.length) == 0;
    m.view = nullptr;
    return ok;
}

bool closeMapping(MappedFile&) { return true; }

bool closeFile(MappedFile& m) { return ::close(static_cast<int>(m.file)) == 0; }

bool loadModule(const char* name) {
    // Modules stay loaded for the life of the process.
    return name && ::dlopen(name, RTLD_NOW | RTLD_GLOBAL) != nullptr;
}

uint32_t tickCount() {
    timespec ts;
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u +
                                 static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
}

int64_t currentTimeMillis() {
    timeval tv;
    ::gettimeofday(&tv, nullptr);
    return static_cast<int64_t>(tv.tv_sec) * 1000 + tv.tv_usec / 1000;
}

void sleepMillis(int ms) {
    if (ms <= 0) return;
    timespec ts{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

void lowerPriority() {
    // A nice value a few steps above the default: below normal, like the saver's
    // thread on other platforms. Failure (a limit set by the user) is harmless.
    errno = 0;
    int current = ::getpriority(PRIO_PROCESS, 0);
    if (errno == 0 && current < 5) ::setpriority(PRIO_PROCESS, 0, 5);
}

void debugBreak() {
    // Only break when a debugger is attached; otherwise SIGTRAP would end the program.
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return;
    char line[256];
    bool traced = false;
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, "TracerPid:", 10) == 0) {
            traced = std::atoi(line + 10) != 0;
            break;
        }
    }
    std::fclose(status);
    if (traced) std::raise(SIGTRAP);
}

}  // namespace glimsel_os
