// What the tests need of the system they run on, the same on Linux and on Windows:
// fresh folders, new sub-folders, and the user's language for the message texts.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace test_platform {

#ifdef _WIN32
constexpr char SEPARATOR = '\\';
#else
constexpr char SEPARATOR = '/';
#endif

// A path written with '/' in the platform's own form.
inline std::string native(std::string path) {
    for (char& c : path) {
        if (c == '/') c = SEPARATOR;
    }
    return path;
}

// A new folder under the system's temporary folder; empty when none could be made.
inline std::string makeTempFolder(const char* prefix) {
    std::error_code error;
    std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) return std::string();
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::filesystem::path candidate = base / (std::string(prefix) + "-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate, error)) return candidate.string();
    }
    return std::string();
}

inline bool makeFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::create_directory(path, error);
}

// Chooses German or English for the message texts (the caller then tells the library).
inline void useGerman(bool german) {
#ifdef _WIN32
    SetThreadLocale(MAKELCID(MAKELANGID(german ? LANG_GERMAN : LANG_ENGLISH, SUBLANG_DEFAULT), SORT_DEFAULT));
#else
    setenv("LC_ALL", german ? "de_DE.UTF-8" : "C", 1);
#endif
}

}  // namespace test_platform
