// Writes GIFs of every shape the decoder handles into a folder, as the fuzzer's first
// corpus: the depths, local tables, interlacing, several images, cut and moved images,
// extensions, early end codes, full tables.
//
//   fuzz_gif_seeds FOLDER
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/imaging/GifTestKit.h"

using namespace giftest;

namespace {

Bytes pattern(size_t n, int colours, int step) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>((i * step / 3 + i % 7) % colours);
    return b;
}

ImageSetup setup(uint16_t left, uint16_t top, uint16_t w, uint16_t h, uint8_t flags, int minCodeSize, int colours) {
    ImageSetup s;
    s.left = left;
    s.top = top;
    s.width = w;
    s.height = h;
    s.flags = flags;
    s.minCodeSize = minCodeSize;
    s.indices = pattern(size_t(w) * h, colours, 5);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    std::filesystem::path dir(argv[1]);
    std::filesystem::create_directories(dir);
    auto write = [&](const std::string& name, const Bytes& b) {
        std::ofstream(dir / (name + ".gif"), std::ios::binary)
            .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    };
    write("1bit", GifBuilder(19, 7, 0x80).image(setup(5, 1, 12, 5, 0, 2, 2)).finish());
    write("4bit-local", GifBuilder(9, 9, 0x01).image(setup(3, 2, 5, 6, 0x83, 4, 16)).finish());
    write("8bit-interlaced", GifBuilder(32, 21, 0x87).extension().image(setup(0, 0, 32, 21, 0x40, 8, 256)).finish());
    write("two-images", GifBuilder(16, 8, 0x84)
                            .image(setup(0, 0, 10, 8, 0, 5, 32))
                            .extension()
                            .image(setup(8, 4, 10, 6, 0x81, 2, 4))
                            .finish());
    write("cut", GifBuilder(6, 6, 0x83).image(setup(4, 4, 5, 5, 0x40, 4, 16)).image(setup(7, 0, 2, 2, 0, 2, 4)).finish());
    LzwOptions full;
    full.clearWhenFull = false;
    ImageSetup noise = setup(0, 0, 90, 60, 0, 8, 256);
    for (size_t i = 0; i < noise.indices.size(); ++i) noise.indices[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
    Bytes fullData = imageData(8, lzwEncode(noise.indices, 8, full), 40);
    noise.data = &fullData;
    write("full-table", GifBuilder(90, 60, 0x87).image(noise).finish());
    Bytes early = imageData(2, packCodes({{4, 3}, {1, 3}, {2, 3}, {5, 3}}));
    ImageSetup e = setup(0, 0, 4, 4, 0, 2, 4);
    e.data = &early;
    write("early-end", GifBuilder(4, 4, 0x81, "87a").raw({0, 0}).image(e).finish());
    Bytes wide = imageData(11, lzwEncode(pattern(64, 256, 3), 11));
    ImageSetup w = setup(0, 0, 8, 8, 0, 11, 256);
    w.data = &wide;
    write("min-code-11", GifBuilder(8, 8, 0x87).image(w).finish());
    return 0;
}
