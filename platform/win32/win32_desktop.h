// The Windows desktop: the settings (a plain message box until the property sheet
// exists), the database beside the program, the shell for addresses, and the version
// information of the program file.
#pragma once

#include "app/Desktop.h"

namespace glimsel_win32 {

class Win32Desktop : public glimsel_app::Desktop {
public:
    int runSettingsSheet(CSaverApp& app) override;
    torvik_lang::_Ref<torvik_io::_File> findDatabase() override;
    // Windows has no "-root" target: the switch finds no window and ends quietly.
    glimsel_ui::NativeWindow rootWindow() override { return 0; }
    bool openAddress(const std::string& address) override;
    std::string fileVersion() override;

    // The file version "major.minor.release" of the file named `file`, looked up by the
    // system's search rules; empty when it has none.
    static std::string fileVersionOf(char const* file);
};

}  // namespace glimsel_win32
