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
#include "platform/SettingsStore.h"
#include "platform/win32/RegistrySettingsStore.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_window_system.h"

int main(int argc, char** argv) {
    // Apartment mode for the main thread: the shell's folder browser needs it.
    HRESULT com = CoInitialize(nullptr);

    glimsel_win32::RegistrySettingsStore store("Norvane", glimsel_win32::RegistrySettingsStore::programBaseName());
    glimsel_settings::installSettingsStore(&store);
    glimsel_win32::Win32WindowSystem windows(GetModuleHandleA(nullptr));
    glimsel_ui::WindowSystem::install(&windows);

    int code;
    {
        glimsel_win32::Win32Desktop desktop;
        CSaverApp app(desktop);
        code = app.run(argc, argv);
    }
    glimsel_ui::WindowSystem::install(nullptr);
    glimsel_settings::installSettingsStore(nullptr);
    if (SUCCEEDED(com)) CoUninitialize();
    return code;
}
