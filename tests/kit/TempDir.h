// A fresh folder under the system's temporary folder, removed with everything in it
// when the test ends; whole files written and read in one call; the process's open files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/TestPlatform.h"

class TempDir {
public:
    TempDir() {
        path = test_platform::makeTempFolder("glimsel-test");
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    bool ok() const { return !path.empty(); }
    std::string operator/(const std::string& name) const { return path + test_platform::native("/" + name); }

    // Writes `bytes` to a file of this folder (its folders made as needed) and returns
    // its path.
    std::string write(const std::string& name, const std::string& bytes) const {
        std::string full = *this / name;
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(full).parent_path(), ignored);
        writeFile(full, bytes.data(), bytes.size());
        return full;
    }
    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        return write(name, std::string(bytes.begin(), bytes.end()));
    }

    static void writeFile(const std::string& full, const void* bytes, size_t size) {
        if (FILE* f = std::fopen(full.c_str(), "wb")) {
            std::fwrite(bytes, 1, size, f);
            std::fclose(f);
        }
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

    static std::vector<uint8_t> readBytes(const std::string& full) {
        const std::string bytes = read(full);
        return std::vector<uint8_t>(bytes.begin(), bytes.end());
    }

    std::string path;
};

// Open descriptors of this process, or -1 where the system does not list them (under
// Wine, /proc shows the emulator's own descriptors, which its threads open and close).
inline int openDescriptors() {
#ifdef _WIN32
    return -1;
#endif
    std::error_code ec;
    std::filesystem::directory_iterator it("/proc/self/fd", ec);
    if (ec) return -1;
    int n = 0;
    for (; it != std::filesystem::directory_iterator(); ++it) ++n;
    return n;
}
