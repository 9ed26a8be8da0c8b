// The stored settings as one run sees them: the command line's run options over the
// store beneath. Writes of the values the options give are dropped, so that the
// stored settings stay as they were; everything else passes through.
#pragma once

#include "app/CommandLine.h"
#include "platform/SettingsStore.h"

namespace glimsel_app {

class RunSettingsStore : public glimsel_settings::SettingsStore {
public:
    // `options.folder` names the folder itself (a file in it was already resolved).
    RunSettingsStore(glimsel_settings::SettingsStore& stored, RunOptions options);

    int getInt(char const* section, char const* entry, int def) override;
    bool getString(char const* section, char const* entry, std::string& out) override;
    void writeInt(char const* section, char const* entry, int value) override;
    void writeString(char const* section, char const* entry, char const* text) override;

private:
    bool overridden(char const* section, char const* entry) const;
    // A folder choice that the command line switched on.
    bool choiceOn(char const* section, char const* entry) const;

    glimsel_settings::SettingsStore& stored;
    RunOptions options;
};

}  // namespace glimsel_app
