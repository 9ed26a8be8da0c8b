#include "platform/SettingsStore.h"

#include <cstdlib>

namespace glimsel_settings {

namespace {
SettingsStore* installed = nullptr;
}

void installSettingsStore(SettingsStore* store) { installed = store; }

SettingsStore& settingsStore() {
    if (!installed) std::abort();  // the program installs its store before reading settings
    return *installed;
}

int getProfileInt(char const* section, char const* entry, int def) {
    return settingsStore().getInt(section, entry, def);
}

std::string getProfileString(char const* section, char const* entry, char const* def) {
    std::string value;
    if (settingsStore().getString(section, entry, value)) return value;
    return def ? def : "";
}

void writeProfileInt(char const* section, char const* entry, int value) {
    settingsStore().writeInt(section, entry, value);
}

void writeProfileString(char const* section, char const* entry, char const* text) {
    settingsStore().writeString(section, entry, text);
}

}  // namespace glimsel_settings
