#include "platform/win32/win32_page_resources.h"

#include <vector>

namespace glimsel_win32 {

namespace {

const LANGID ENGLISH = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

const void* findResource(LPCSTR type, int id, LANGID language, DWORD* size) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), language);
    if (!found && language != ENGLISH) found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), ENGLISH);
    if (!found) return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    *size = SizeofResource(module, found);
    return loaded ? LockResource(loaded) : nullptr;
}

// A string table block holds 16 strings, each a length and that many UTF-16 units.
std::wstring findString(int id, LANGID language) {
    DWORD size = 0;
    auto* data = static_cast<const WCHAR*>(findResource(RT_STRING, id / 16 + 1, language, &size));
    if (!data) return std::wstring();
    size_t units = size / sizeof(WCHAR);
    size_t at = 0;
    for (int i = 0; i < id % 16; ++i) {
        if (at >= units) return std::wstring();
        at += 1 + data[at];
    }
    if (at >= units || data[at] > units - at - 1) return std::wstring();
    return std::wstring(data + at + 1, data[at]);
}

}  // namespace

LANGID pageLanguage() {
    return PRIMARYLANGID(LANGIDFROMLCID(GetThreadLocale())) == LANG_GERMAN ? MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)
                                                                           : ENGLISH;
}

const DLGTEMPLATE* pageTemplate(int id) {
    DWORD size = 0;
    return static_cast<const DLGTEMPLATE*>(findResource(RT_DIALOG, id, pageLanguage(), &size));
}

std::string pageString(int id, const std::string& fallback) {
    std::wstring text = findString(id, pageLanguage());
    if (text.empty()) return fallback;
    int length = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0) return fallback;
    std::vector<char> bytes(length);
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr, nullptr);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace glimsel_win32
