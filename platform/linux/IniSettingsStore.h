// The settings store on Linux: one INI file per program,
// $XDG_CONFIG_HOME/Norvane/<program>.ini (~/.config when the variable is unset).
//
// Nothing is cached: every read reads the file, every write reaches the file at once.
// A write reads, changes and replaces the file while holding a lock on a lock file
// beside it, and replaces it atomically (a temporary file renamed over it), so a saver,
// a preview and the settings sheet that run side by side never lose each other's
// writes, and a reader never sees half a file. A missing, unreadable or damaged file
// reads as defaults; write failures are not reported. Reading creates nothing: the
// folder is made on the first write.
//
// Nothing the user stored is written over: a file that exists but cannot be read (too
// large, not a plain file, no permission) is moved aside under a new name before the
// first write starts a new one, and stderr says so. A file that is a symbolic link (a
// dotfiles folder) is written through to the link's target, which stays where it is.
#pragma once

#include <string>

#include "platform/SettingsStore.h"
#include "platform/linux/IniDocument.h"

namespace glimsel_linux {

class IniSettingsStore : public glimsel_settings::SettingsStore {
public:
    // Larger files are not read (they read as defaults).
    static constexpr size_t MAX_FILE = 1024 * 1024;

    explicit IniSettingsStore(std::string path);

    // The file of a program: "<config home>/Norvane/<programName>.ini".
    static std::string defaultPath(const std::string& programName);
    // The program's file name without folder and extension: from its own module path,
    // or from argv[0] when that is unknown.
    static std::string programBaseName(char const* argv0);

    const std::string& path() const { return file; }

    int getInt(char const* section, char const* entry, int def) override;
    bool getString(char const* section, char const* entry, std::string& out) override;
    void writeInt(char const* section, char const* entry, int value) override;
    void writeString(char const* section, char const* entry, char const* text) override;

private:
    enum class FileState { Absent, Read, Unreadable, Folder };
    // Reads the file at `path` into `text`; `why` tells what made it unreadable.
    static FileState readFile(const std::string& path, std::string& text, std::string& why);
    IniDocument read() const;
    // Applies `value` (null: delete) to the file under the lock.
    void update(char const* section, char const* entry, const std::string* value);
    static bool replaceFile(const std::string& target, const std::string& text);

    std::string file;
};

}  // namespace glimsel_linux
