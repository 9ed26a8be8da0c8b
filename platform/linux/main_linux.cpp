// glimsel: the picture collage screen saver on Linux (X11).
//
//   glimsel /s            the saver over the primary monitor
//   glimsel /t            the saver in an ordinary 800 by 600 window
//   glimsel /p <window>   a preview inside another program's window (decimal id)
//   glimsel -window-id <window>, -root, or $XSCREENSAVER_WINDOW: the same, as a
//                         screen-saver daemon starts its savers
//   glimsel, glimsel /c   the settings
#include <cstdio>
#include <cstdlib>

#include "app/CommandLine.h"
#include "app/SaverApp.h"
#include "platform/SettingsStore.h"
#include "platform/linux/IniSettingsStore.h"
#include "platform/linux/gtk_settings_sheet.h"
#include "platform/linux/linux_desktop.h"
#include "platform/linux/x11_window_system.h"

namespace {

// The modes that open a window; the others run without a display.
bool needsDisplay(glimsel_app::RunMode mode) {
    return mode == glimsel_app::RunMode::Saver || mode == glimsel_app::RunMode::TestSaver ||
           mode == glimsel_app::RunMode::Preview || mode == glimsel_app::RunMode::Settings;
}

}  // namespace

int main(int argc, char** argv) {
    char const* daemonWindow = std::getenv("XSCREENSAVER_WINDOW");
    glimsel_app::CommandLine line = glimsel_app::parseCommandLine(argc, argv, daemonWindow);

    glimsel_linux::IniSettingsStore store(
        glimsel_linux::IniSettingsStore::defaultPath(glimsel_linux::IniSettingsStore::programBaseName(argv[0])));
    glimsel_settings::installSettingsStore(&store);

    std::unique_ptr<glimsel_x11::XWindowSystem> windows;
    if (needsDisplay(line.mode)) {
        windows = glimsel_x11::XWindowSystem::open(nullptr);
        if (!windows) {
            std::fprintf(stderr, "glimsel: cannot open display\n");
            return 1;
        }
        glimsel_ui::WindowSystem::install(windows.get());
        // The settings sheet is GTK's, on the same display and main loop.
        if (line.mode == glimsel_app::RunMode::Settings && !glimsel_gtk::initGtk()) {
            std::fprintf(stderr, "glimsel: cannot open display\n");
            return 1;
        }
    }

    glimsel_linux::LinuxDesktop desktop(windows.get());
    CSaverApp app(desktop);
    int code = app.run(argc, argv, daemonWindow);
    glimsel_ui::WindowSystem::install(nullptr);
    return code;
}
