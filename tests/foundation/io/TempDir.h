// A fresh folder under the system's temporary folder, removed with everything in it
// when the test ends.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/TestPlatform.h"

class TempDir {
public:
    TempDir() {
        path = test_platform::makeTempFolder("glimsel-io");
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    bool ok() const { return !path.empty(); }
    std::string operator/(const std::string& name) const { return path + test_platform::native("/" + name); }

    // Writes `bytes` to a file of this folder and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const {
        std::string full = *this / name;
        if (FILE* f = std::fopen(full.c_str(), "wb")) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        return full;
    }

    static std::string read(const std::string& full) {
        std::string bytes;
        if (FILE* f = std::fopen(full.c_str(), "rb")) {
            char buffer[4096];
            size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
            std::fclose(f);
        }
        return bytes;
    }

    std::string path;
};
