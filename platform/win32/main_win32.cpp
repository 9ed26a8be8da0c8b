// Glimsel.scr: the picture collage screen saver on Windows, started by the desktop with
// a screen saver's command line:
//
//   Glimsel.scr /s             the saver over the primary monitor
//   Glimsel.scr /t             the saver in an ordinary 800 by 600 window
//   Glimsel.scr /p <HWND>      a preview in the display settings' pane (decimal handle)
//   Glimsel.scr, /c, /c:<HWND> the settings
#include <windows.h>
#include <objbase.h>

#include "app/CommandLine.h"
#include "app/SaverApp.h"
#include "app/SettingsStore.h"
#include "platform/win32/RegistrySettingsStore.h"
#include "platform/win32/win32_window_system.h"

namespace {

// The settings sheet comes with a later version; until then the settings mode says so.
int noSettingsSheet(CSaverApp&) {
    MessageBoxA(nullptr, "This version of Glimsel has no settings yet.\nIt shows the bundled pictures at normal speed.",
                "Glimsel", MB_OK | MB_ICONINFORMATION);
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    // Apartment mode for the main thread: the shell's folder browser needs it.
    HRESULT com = CoInitialize(nullptr);

    glimsel_win32::RegistrySettingsStore store("Norvane", glimsel_win32::RegistrySettingsStore::programBaseName());
    glimsel_app::installSettingsStore(&store);
    glimsel_win32::Win32WindowSystem windows(GetModuleHandleA(nullptr));
    glimsel_ui::WindowSystem::install(&windows);

    int code;
    {
        CSaverApp app;
        app.settingsSheet = noSettingsSheet;
        code = app.run(argc, argv);
    }
    glimsel_ui::WindowSystem::install(nullptr);
    glimsel_app::installSettingsStore(nullptr);
    if (SUCCEEDED(com)) CoUninitialize();
    return code;
}
