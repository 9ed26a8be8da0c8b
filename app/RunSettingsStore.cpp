#include "app/RunSettingsStore.h"

#include <cstring>
#include <utility>

namespace glimsel_app {

namespace {

bool is(char const* section, char const* entry, char const* wantedEntry) {
    return section && entry && std::strcmp(section, "Config") == 0 && std::strcmp(entry, wantedEntry) == 0;
}

// Ticking the flash box starts the flash at this many milliseconds per step.
constexpr int FLASH_START_SLEEP = 50;

}  // namespace

RunSettingsStore::RunSettingsStore(glimsel_settings::SettingsStore& stored, RunOptions options)
    : stored(stored), options(std::move(options)) {}

bool RunSettingsStore::overridden(char const* section, char const* entry) const {
    if (is(section, entry, "Speed")) return options.speed.has_value();
    if (is(section, entry, "flashSleep")) return options.flash || options.flashSpeed;
    if (is(section, entry, "Path")) return options.pictures != RunOptions::Pictures::Stored;
    return choiceOn(section, entry);
}

bool RunSettingsStore::choiceOn(char const* section, char const* entry) const {
    return (is(section, entry, "Upright") && options.upright) ||
           (is(section, entry, "Subfolders") && options.subfolders) ||
           (is(section, entry, "NoRepeats") && options.noRepeats) || (is(section, entry, "MoreTypes") && options.moreTypes);
}

int RunSettingsStore::getInt(char const* section, char const* entry, int def) {
    if (!overridden(section, entry)) return stored.getInt(section, entry, def);
    if (choiceOn(section, entry)) return 1;
    if (is(section, entry, "Speed")) return *options.speed;
    // The flash: on or off as asked, else as stored; its speed as asked, else as stored
    // while stored on, else where switching it on starts.
    int storedSleep = stored.getInt(section, entry, -1);
    bool on = options.flash.value_or(storedSleep >= 0);
    if (!on) return -1;
    if (options.flashSpeed) return 100 - *options.flashSpeed;
    return storedSleep >= 0 ? storedSleep : FLASH_START_SLEEP;
}

bool RunSettingsStore::getString(char const* section, char const* entry, std::string& out) {
    if (!overridden(section, entry)) return stored.getString(section, entry, out);
    // The bundled pictures are what an absent folder means.
    if (options.pictures == RunOptions::Pictures::Bundled) return false;
    out = options.folder;
    return true;
}

void RunSettingsStore::writeInt(char const* section, char const* entry, int value) {
    if (!overridden(section, entry)) stored.writeInt(section, entry, value);
}

void RunSettingsStore::writeString(char const* section, char const* entry, char const* text) {
    if (!overridden(section, entry)) stored.writeString(section, entry, text);
}

}  // namespace glimsel_app
