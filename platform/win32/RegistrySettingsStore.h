// The settings store on Windows: the current user's registry,
// HKEY_CURRENT_USER\Software\<company>\<application>\<section>.
//
// Nothing is cached: every read and write goes to the registry at once. Keys that do
// not exist are made on first access, reads included, so the first run leaves the empty
// application key and its "Config" sub-key behind. A value of the empty section lies in
// the application key itself. Integers are REG_DWORD, read back as signed 32-bit
// values; texts are REG_SZ. A value of another type or size, like an absent one, reads
// as the caller's default; write failures are not reported.
#pragma once

#include <string>

#include "platform/SettingsStore.h"

namespace glimsel_win32 {

class RegistrySettingsStore : public glimsel_settings::SettingsStore {
public:
    RegistrySettingsStore(std::string company, std::string application);

    // The program's file name without folder and extension ("Glimsel" for
    // C:\Windows\System32\Glimsel.scr).
    static std::string programBaseName();
    static std::string baseName(const std::string& path);

    // "Software\<company>\<application>".
    const std::string& applicationKey() const { return keyPath; }

    int getInt(char const* section, char const* entry, int def) override;
    bool getString(char const* section, char const* entry, std::string& out) override;
    void writeInt(char const* section, char const* entry, int value) override;
    void writeString(char const* section, char const* entry, char const* text) override;

private:
    std::string keyPath;
};

}  // namespace glimsel_win32
