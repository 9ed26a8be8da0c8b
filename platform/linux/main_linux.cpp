// glimsel: the picture collage screen saver on Linux (X11).
//
//   glimsel /s            the saver over the primary monitor
//   glimsel /t            the saver in an ordinary 800 by 600 window
//   glimsel /p <window>   a preview inside another program's window (decimal or 0x hex)
//   glimsel --window-id <window>, --root, or $XSCREENSAVER_WINDOW: the same, as a
//                         screen-saver daemon and its settings program start savers
//   glimsel, glimsel /c   the settings
//   glimsel --help        the options, among them settings for one run (--speed N, ...)
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "app/CommandLine.h"
#include "app/RunSettingsStore.h"
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

// A host's file chooser may hand a picture instead of its folder: the file names the
// folder it lies in.
void resolveFolder(glimsel_app::RunOptions& options) {
    if (options.pictures != glimsel_app::RunOptions::Pictures::Folder) return;
    std::error_code error;
    std::filesystem::path path(options.folder);
    if (std::filesystem::is_regular_file(path, error) && path.has_parent_path()) {
        options.folder = path.parent_path().string();
    }
}

}  // namespace

int main(int argc, char** argv) {
    char const* daemonWindow = std::getenv("XSCREENSAVER_WINDOW");
    glimsel_app::CommandLine line = glimsel_app::parseCommandLine(argc, argv, daemonWindow);
    switch (line.mode) {
        case glimsel_app::RunMode::Help: std::fputs(glimsel_app::usageText(), stdout); return 0;
        case glimsel_app::RunMode::Version: std::printf("glimsel %s\n", GLIMSEL_VERSION_TEXT); return 0;
        case glimsel_app::RunMode::None:
            if (line.error.empty()) return 0;  // an unknown switch ends quietly
            std::fprintf(stderr, "glimsel: %s\n", line.error.c_str());
            return 1;
        default: break;
    }

    glimsel_linux::IniSettingsStore store(
        glimsel_linux::IniSettingsStore::defaultPath(glimsel_linux::IniSettingsStore::programBaseName(argv[0])));
    glimsel_settings::installSettingsStore(&store);
    // The settings sheet shows and changes the stored settings; every other mode runs
    // with the command line's options over them.
    std::optional<glimsel_app::RunSettingsStore> runStore;
    if (line.options.any() && line.mode != glimsel_app::RunMode::Settings) {
        resolveFolder(line.options);
        runStore.emplace(store, line.options);
        glimsel_settings::installSettingsStore(&*runStore);
    }

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
