// The preview in a pane of its own process, where Wine shows what it draws:
//
//   win32_preview_host <folder> <width> <height>
//
// Opens a pane window of the given client size at (40, 40), writes its handle to
// <folder>/hwnd and runs the saver's preview mode in it, as "Glimsel.scr /p <handle>"
// would, with the settings of Glimsel.scr. The pane is destroyed when the file
// <folder>/destroy appears, which ends the preview and the program.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/SaverApp.h"
#include "platform/SettingsStore.h"
#include "platform/win32/RegistrySettingsStore.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_window_system.h"

namespace {

std::string folder;

LRESULT CALLBACK paneProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        if (GetFileAttributesA((folder + "\\destroy").c_str()) != INVALID_FILE_ATTRIBUTES) DestroyWindow(hwnd);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: win32_preview_host <folder> <width> <height>\n");
        return 2;
    }
    folder = argv[1];
    glimsel_win32::RegistrySettingsStore store("Norvane", "Glimsel");
    glimsel_settings::installSettingsStore(&store);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    glimsel_win32::Win32WindowSystem windows(instance);
    glimsel_ui::WindowSystem::install(&windows);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = paneProc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = "GlimselTestPreviewPane";
    RegisterClassA(&wc);
    HWND pane = CreateWindowExA(0, wc.lpszClassName, "pane", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40,
                                std::atoi(argv[2]), std::atoi(argv[3]), nullptr, nullptr, instance, nullptr);
    if (!pane) return 1;
    SetTimer(pane, 1, 100, nullptr);
    std::string handle = std::to_string(reinterpret_cast<uintptr_t>(pane));
    if (FILE* f = std::fopen((folder + "\\hwnd").c_str(), "wb")) {
        std::fputs(handle.c_str(), f);
        std::fclose(f);
    }

    int code;
    {
        glimsel_win32::Win32Desktop desktop;
        CSaverApp app(desktop);
        char const* args[] = {"Glimsel.scr", "/p", handle.c_str()};
        code = app.run(3, args);
    }
    glimsel_ui::WindowSystem::install(nullptr);
    return code;
}
