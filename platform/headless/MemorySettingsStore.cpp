#include "platform/headless/MemorySettingsStore.h"

#include <cerrno>
#include <cstdlib>

namespace glimsel_headless {

int MemorySettingsStore::getInt(char const* section, char const* entry, int def) {
    auto it = values.find({section, entry});
    if (it == values.end()) return def;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(it->second.c_str(), &end, 10);
    if (errno || end == it->second.c_str() || *end || v < INT32_MIN || v > INT32_MAX) return def;
    return static_cast<int>(v);
}

bool MemorySettingsStore::getString(char const* section, char const* entry, std::string& out) {
    auto it = values.find({section, entry});
    if (it == values.end()) return false;
    out = it->second;
    return true;
}

void MemorySettingsStore::writeInt(char const* section, char const* entry, int value) {
    values[{section, entry}] = std::to_string(value);
}

void MemorySettingsStore::writeString(char const* section, char const* entry, char const* text) {
    if (text) {
        values[{section, entry}] = text;
    } else {
        values.erase({section, entry});
    }
}

bool MemorySettingsStore::has(char const* section, char const* entry) const {
    return values.count({section, entry}) != 0;
}

}  // namespace glimsel_headless
