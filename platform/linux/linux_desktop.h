// The Linux desktop: the GTK settings sheet, the database beside the program, the X
// root window, the user's default programs through GIO, and the build's version.
#pragma once

#include "app/Desktop.h"

namespace glimsel_x11 {
class XWindowSystem;
}

namespace glimsel_linux {

class LinuxDesktop : public glimsel_app::Desktop {
public:
    // `windows` is null in the modes that run without a display.
    explicit LinuxDesktop(glimsel_x11::XWindowSystem* windows) : windows(windows) {}

    int runSettingsSheet(CSaverApp& app) override;
    torvik_lang::_Ref<torvik_io::_File> findDatabase() override;
    glimsel_ui::NativeWindow rootWindow() override;
    bool openAddress(const std::string& address) override;
    std::string fileVersion() override;

private:
    glimsel_x11::XWindowSystem* windows;
};

}  // namespace glimsel_linux
