// Writes the JPEG adapter's test pictures into a folder, as the fuzzer's first corpus.
//
//   fuzz_jpeg_seeds FOLDER
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tests/imaging/JpegSamples.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    std::filesystem::create_directories(argv[1]);
    for (const jpeg_samples::Sample& s : jpeg_samples::seedSamples()) {
        std::ofstream out(std::filesystem::path(argv[1]) / (s.name + ".jpg"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(s.bytes.data()), static_cast<std::streamsize>(s.bytes.size()));
    }
    return 0;
}
