// Writes PNGs of every colour type, depth and interlacing the reader handles into a
// folder, as the fuzzer's first corpus.
//
//   fuzz_png_seeds FOLDER
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/imaging/PngSamples.h"

using namespace png_samples;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_png_seeds FOLDER\n");
        return 2;
    }
    std::filesystem::create_directories(argv[1]);
    const struct {
        const char* name;
        int colorType;
        Bytes sample;
        int depth;
    } kinds[] = {
        {"rgb", PNG_COLOR_TYPE_RGB, {1, 2, 3}, 8},
        {"rgb16", PNG_COLOR_TYPE_RGB, {1, 2, 3, 4, 5, 6}, 16},
        {"grey", PNG_COLOR_TYPE_GRAY, {9}, 8},
        {"greyalpha", PNG_COLOR_TYPE_GRAY_ALPHA, {9, 100}, 8},
        {"palette", PNG_COLOR_TYPE_PALETTE, {1}, 8},
        {"rgba", PNG_COLOR_TYPE_RGB_ALPHA, {1, 2, 3, 4}, 8},
    };
    for (const auto& k : kinds) {
        for (bool interlaced : {false, true}) {
            Picture p = filled(13, 7, k.colorType, k.sample, k.depth);
            p.interlaced = interlaced;
            const Bytes b = encode(p);
            std::ofstream(std::string(argv[1]) + "/" + k.name + (interlaced ? "-i" : "") + ".png", std::ios::binary)
                .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
        }
    }
    return 0;
}
