#include "platform/linux/IniSettingsStore.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/os.h"

namespace glimsel_linux {

namespace {

// A whole signed 32-bit decimal number and nothing else.
bool parseInt(const std::string& text, int& out) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size()) return false;
    long long value = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (negative) value = -value;
    if (value < INT_MIN || value > INT_MAX) return false;
    out = static_cast<int>(value);
    return true;
}

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the folder and its missing parents, private to the user as a configuration
// folder should be.
bool makeFolders(const std::string& folder) {
    struct stat st;
    if (::stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    std::string parent = folderOf(folder);
    if (parent != folder && !makeFolders(parent)) return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// The file that `path` names after following symbolic links, relative ones from the
// folder of the link; `path` itself when it is no link (or does not exist). Empty for
// a chain of links that does not end.
std::string followLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string target(PATH_MAX, '\0');
        ssize_t n = ::readlink(path.c_str(), &target[0], target.size());
        if (n <= 0 || static_cast<size_t>(n) >= target.size()) return std::string();
        target.resize(static_cast<size_t>(n));
        path = target[0] == '/' ? target : folderOf(path) + "/" + target;
    }
    return std::string();
}

// Renames `from` to `to` unless `to` exists.
bool renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without that flag: a hard link fails on an existing name as well.
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    return ::unlink(from.c_str()) == 0;
}

// Moves an unreadable settings file aside to the first free name "<file>.unreadable",
// "<file>.unreadable-2", ... and says so on stderr.
bool moveAside(const std::string& path, const std::string& why) {
    for (int n = 1; n <= 100; ++n) {
        std::string aside = path + ".unreadable" + (n > 1 ? "-" + std::to_string(n) : std::string());
        if (renameNoReplace(path, aside)) {
            std::fprintf(stderr, "glimsel: the settings file %s could not be read (%s); it was kept as %s and a new one was started\n",
                         path.c_str(), why.c_str(), aside.c_str());
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

// Holds an exclusive lock on the lock file for the lifetime of the object.
class FileLock {
public:
    explicit FileLock(const std::string& path) {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) return;
        while (::flock(fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(fd);
                fd = -1;
                return;
            }
        }
    }
    ~FileLock() {
        if (fd >= 0) ::close(fd);  // closing releases the lock
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return fd >= 0; }

private:
    int fd = -1;
};

}  // namespace

IniSettingsStore::IniSettingsStore(std::string path) : file(std::move(path)) {}

std::string IniSettingsStore::defaultPath(const std::string& programName) {
    std::string base;
    // Relative values are invalid by the base-directory rules and are ignored.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') {
        base = config;
    } else {
        std::string home;
        if (!glimsel_os::userHomeDirectory(home)) home = "/tmp";
        base = home + "/.config";
    }
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/Norvane/" + programName + ".ini";
}

std::string IniSettingsStore::programBaseName(char const* argv0) {
    std::string path = glimsel_os::programPath();
    if (path.empty() && argv0) path = argv0;
    size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name.empty() ? std::string("glimsel") : name;
}

IniSettingsStore::FileState IniSettingsStore::readFile(const std::string& path, std::string& text,
                                                      std::string& why) {
    text.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT) return FileState::Absent;
        why = std::strerror(errno);
        return errno == EISDIR ? FileState::Folder : FileState::Unreadable;
    }
    FileState state = FileState::Read;
    struct stat st;
    // Only a regular file of sensible size: a FIFO or a device there must not hang or
    // flood the program.
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        why = "a folder";
        state = FileState::Folder;
    } else if (!S_ISREG(st.st_mode)) {
        why = "not a plain file";
        state = FileState::Unreadable;
    } else if (static_cast<uint64_t>(st.st_size) > MAX_FILE) {
        why = "larger than 1 MB";
        state = FileState::Unreadable;
    } else {
        char buffer[8192];
        for (;;) {
            ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                why = std::strerror(errno);
                state = FileState::Unreadable;
                break;
            }
            if (n == 0) break;
            text.append(buffer, static_cast<size_t>(n));
            if (text.size() > MAX_FILE) {
                why = "larger than 1 MB";  // it grew while we read
                state = FileState::Unreadable;
                break;
            }
        }
    }
    ::close(fd);
    if (state != FileState::Read) text.clear();
    return state;
}

IniDocument IniSettingsStore::read() const {
    std::string text, why;
    readFile(file, text, why);
    return IniDocument::parse(text);
}

int IniSettingsStore::getInt(char const* section, char const* entry, int def) {
    std::string text;
    int value;
    if (!getString(section, entry, text) || !parseInt(text, value)) return def;
    return value;
}

bool IniSettingsStore::getString(char const* section, char const* entry, std::string& out) {
    if (!section || !entry) return false;
    IniDocument doc = read();
    const std::string* value = doc.find(section, entry);
    if (!value) return false;
    out = *value;
    return true;
}

void IniSettingsStore::writeInt(char const* section, char const* entry, int value) {
    std::string text = std::to_string(value);
    update(section, entry, &text);
}

void IniSettingsStore::writeString(char const* section, char const* entry, char const* text) {
    if (!text) {
        update(section, entry, nullptr);
        return;
    }
    std::string value(text);
    update(section, entry, &value);
}

void IniSettingsStore::update(char const* section, char const* entry, const std::string* value) {
    if (!section || !entry || !IniDocument::validSectionName(section) || !IniDocument::validValueName(entry)) {
        return;  // a name the file cannot hold is never written
    }
    if (!makeFolders(folderOf(file))) return;
    FileLock lock(file + ".lock");
    if (!lock.held()) return;
    // A link is written through: its target is replaced, the link stays.
    const std::string target = followLinks(file);
    if (target.empty() || !makeFolders(folderOf(target))) return;
    std::string text, why;
    IniDocument doc;
    switch (readFile(target, text, why)) {
        case FileState::Folder: return;  // nothing can be written there
        case FileState::Unreadable:
            if (!moveAside(target, why)) return;  // never written over
            break;
        case FileState::Absent: break;
        case FileState::Read: doc = IniDocument::parse(text); break;
    }
    if (value) {
        doc.set(section, entry, *value);
    } else if (!doc.erase(section, entry)) {
        return;  // nothing to delete
    }
    replaceFile(target, doc.serialize());
}

bool IniSettingsStore::replaceFile(const std::string& target, const std::string& text) {
    std::string temporary = target + ".XXXXXX";
    int fd = ::mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0) return false;
    // The file keeps the permissions a user gave it.
    struct stat st;
    if (::stat(target.c_str(), &st) == 0) ::fchmod(fd, st.st_mode & 07777);
    bool ok = writeAll(fd, text);
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(temporary.c_str());
    return ok;
}

}  // namespace glimsel_linux
