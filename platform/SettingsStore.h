// The persistent settings: a handful of values in sections, read when needed and
// written the moment they change. Each platform provides the store (an INI file on
// Linux, the registry on Windows, memory in the headless platform).
#pragma once

#include <string>

namespace glimsel_settings {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The stored integer, or `def` when absent or unreadable.
    virtual int getInt(char const* section, char const* entry, int def) = 0;
    // The stored text in `out`; false (and `out` untouched) when absent.
    virtual bool getString(char const* section, char const* entry, std::string& out) = 0;
    virtual void writeInt(char const* section, char const* entry, int value) = 0;
    // A null text deletes the entry.
    virtual void writeString(char const* section, char const* entry, char const* text) = 0;
};

// The store every reader and writer uses; installed by the program at start-up.
void installSettingsStore(SettingsStore* store);
SettingsStore& settingsStore();

// The four profile operations.
int getProfileInt(char const* section, char const* entry, int def);
std::string getProfileString(char const* section, char const* entry, char const* def);
void writeProfileInt(char const* section, char const* entry, int value);
void writeProfileString(char const* section, char const* entry, char const* text);

}  // namespace glimsel_settings
