#include "platform/win32/win32_desktop.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <vector>

#include "sources/FreewareIdb.h"

namespace glimsel_win32 {

int Win32Desktop::runSettingsSheet(CSaverApp&) {
    MessageBoxA(nullptr,
                "This version of Glimsel has no settings page yet.\n"
                "It shows the bundled pictures at normal speed.",
                "Glimsel", MB_OK | MB_ICONINFORMATION);
    return -1;
}

torvik_lang::_Ref<torvik_io::_File> Win32Desktop::findDatabase() { return findDatabaseFile(); }

bool Win32Desktop::openAddress(const std::string& address) {
    HINSTANCE result = ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::string Win32Desktop::fileVersion() { return fileVersionOf("Glimsel.scr"); }

std::string Win32Desktop::fileVersionOf(char const* file) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(file, &ignored);
    if (size == 0) return std::string();
    std::vector<char> data(size);
    if (!GetFileVersionInfoA(file, 0, size, data.data())) return std::string();
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
        length < sizeof *fixed) {
        return std::string();
    }
    char text[40];
    std::snprintf(text, sizeof text, "%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                  HIWORD(fixed->dwFileVersionLS));
    return text;
}

}  // namespace glimsel_win32
