// Settings kept in memory, for the headless platform and tests.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "platform/SettingsStore.h"

namespace glimsel_headless {

class MemorySettingsStore : public glimsel_settings::SettingsStore {
public:
    int getInt(char const* section, char const* entry, int def) override;
    bool getString(char const* section, char const* entry, std::string& out) override;
    void writeInt(char const* section, char const* entry, int value) override;
    void writeString(char const* section, char const* entry, char const* text) override;

    bool has(char const* section, char const* entry) const;
    void clear() { values.clear(); }

private:
    std::map<std::pair<std::string, std::string>, std::string> values;
};

}  // namespace glimsel_headless
