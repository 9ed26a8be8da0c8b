// Draws DIBs onto a 32-bit canvas through the renderer, in turns with pixman compositing
// the same picture (PIXMAN_OP_SRC, the nearest filter, a scaling transform; from an
// r8g8b8 image of the DIB's own bytes and from an x8r8g8b8 copy), and an 8-bit DIB at
// 100 % in turns with a plain memcpy of the canvas. Prints the median processor
// milliseconds per frame with their spread, with a warm heap and with fresh memory, and
// the ratios of the medians (above 1: the renderer is faster).
//
// The pictures: a generated 1920x1080 photograph at 24 bits and at 8 bits (as a GIF
// decodes), and a generated 24-megapixel photograph drawn at preview scales.
//
//   bench_render [rounds]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include <pixman.h>

#include "bench/BenchKit.h"
#include "imaging/DibRenderer.h"

using namespace img_lib;

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> info;
    std::vector<uint8_t> bits;       // bottom-up rows, as a BMP holds them
    std::vector<uint8_t> topDown24;  // the 24-bit rows top-down, for pixman's r8g8b8
    std::vector<uint32_t> topDown32;  // x8r8g8b8 copy
    uint32_t stride = 0;
};

// A photograph-like picture of smooth ramps with noise; at 8 bits its colours are a
// 3-3-2 palette, as a GIF of a photograph holds them.
Picture makePicture(int width, int height, int bitCount) {
    Picture p;
    p.width = width;
    p.height = height;
    const int colours = bitCount == 8 ? 256 : 0;
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bitCount);
    h.biCompression = BI_RGB;
    h.biClrUsed = static_cast<DWORD>(colours);
    p.info.resize(sizeof h + 4 * colours);
    std::memcpy(p.info.data(), &h, sizeof h);
    for (int i = 0; i < colours; ++i) {
        uint8_t* q = &p.info[sizeof h + 4 * i];
        q[0] = static_cast<uint8_t>((i & 3) * 85);
        q[1] = static_cast<uint8_t>((i >> 2 & 7) * 36);
        q[2] = static_cast<uint8_t>((i >> 5) * 36);
    }
    const int bytes = bitCount / 8;
    p.stride = (width * bytes + 3) / 4 * 4;
    p.bits.resize(static_cast<size_t>(p.stride) * height);
    if (bitCount == 24) {
        p.topDown24.resize(p.bits.size());
        p.topDown32.resize(static_cast<size_t>(width) * height);
    }
    uint32_t seed = 12345;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = p.bits.data() + static_cast<size_t>(height - 1 - y) * p.stride;
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245 + 12345;
            uint32_t c = (static_cast<uint32_t>(x * 255 / width) << 16 | static_cast<uint32_t>(y * 255 / height) << 8) ^
                         (seed >> 24);
            if (bitCount == 8) {
                row[x] = static_cast<uint8_t>((c >> 21 & 7) << 5 | (c >> 13 & 7) << 2 | (c >> 6 & 3));
                continue;
            }
            row[3 * x] = static_cast<uint8_t>(c);
            row[3 * x + 1] = static_cast<uint8_t>(c >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(c >> 16);
            p.topDown32[static_cast<size_t>(y) * width + x] = c & 0xFFFFFF;
        }
        if (bitCount == 24) std::memcpy(p.topDown24.data() + static_cast<size_t>(y) * p.stride, row, p.stride);
    }
    return p;
}

void pixmanDraw(const Picture& p, pixman_image_t* src, pixman_image_t* dst, int width, int height) {
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_double_to_fixed(double(p.width) / width),
                                pixman_double_to_fixed(double(p.height) / height));
    pixman_image_set_transform(src, &t);
    pixman_image_set_filter(src, PIXMAN_FILTER_NEAREST, nullptr, 0);
    pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, 0, 0, 0, 0, 0, 0, width, height);
}

struct Target {
    std::vector<uint32_t> pixels;
    Canvas canvas;
    Rect rect;
    Target(int width, int height) : pixels(static_cast<size_t>(width) * height) {
        canvas.pixels = pixels.data();
        canvas.width = canvas.stride = width;
        canvas.height = height;
        rect.width = width;
        rect.height = height;
    }
};

void drawOurs(const Picture& p, const Target& t) {
    drawDib(t.canvas, t.rect, reinterpret_cast<const BITMAPINFO*>(p.info.data()), static_cast<uint32_t>(p.info.size()),
            p.bits.data(), static_cast<uint32_t>(p.bits.size()));
}

std::string cell(const std::vector<double>& ms) { return bench::format(bench::spreadOf(ms)); }

// The renderer against pixman from r8g8b8 and from x8r8g8b8.
void againstPixman(const Picture& p, int percent, int rounds, bench::Memory memory) {
    const int width = p.width * percent / 100, height = p.height * percent / 100;
    Target ours(width, height);
    std::vector<uint32_t> theirs(ours.pixels.size());
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, width, height, theirs.data(), width * 4);
    pixman_image_t* src24 = pixman_image_create_bits(
        PIXMAN_r8g8b8, p.width, p.height, reinterpret_cast<uint32_t*>(const_cast<uint8_t*>(p.topDown24.data())),
        static_cast<int>(p.stride));
    pixman_image_t* src32 = pixman_image_create_bits(PIXMAN_x8r8g8b8, p.width, p.height,
                                                     const_cast<uint32_t*>(p.topDown32.data()), p.width * 4);
    std::function<void()> mine = [&] { drawOurs(p, ours); };
    auto t = bench::interleave({mine, [&] { pixmanDraw(p, src24, dst, width, height); },
                                [&] { pixmanDraw(p, src32, dst, width, height); }},
                               rounds, bench::repeatFor(mine, 30), memory);
    long differ = 0;
    for (size_t i = 0; i < theirs.size(); ++i) differ += (ours.pixels[i] & 0xFFFFFF) != (theirs[i] & 0xFFFFFF);
    pixman_image_unref(src24);
    pixman_image_unref(src32);
    pixman_image_unref(dst);
    std::printf("24-bit %dx%d at %3d %% (%4dx%-4d) renderer %s | pixman r8g8b8 %s (%.2fx) | x8r8g8b8 %s (%.2fx) | "
                "%ld pixels differ\n",
                p.width, p.height, percent, width, height, cell(t[0]).c_str(), cell(t[1]).c_str(),
                bench::speedup(t[0], t[1]), cell(t[2]).c_str(), bench::speedup(t[0], t[2]), differ);
}

// An 8-bit picture at 100 % against copying the canvas's bytes with memcpy.
void againstMemcpy(const Picture& p, int rounds, bench::Memory memory) {
    Target ours(p.width, p.height);
    std::vector<uint32_t> from(ours.pixels.size(), 1), to(ours.pixels.size());
    std::function<void()> mine = [&] { drawOurs(p, ours); };
    auto t = bench::interleave(
        {mine, [&] { std::memcpy(to.data(), from.data(), to.size() * sizeof to[0]); }}, rounds,
        bench::repeatFor(mine, 30), memory);
    std::printf("8-bit %dx%d at 100 %% renderer %s | memcpy of the canvas %s | renderer at %.2f of memcpy speed\n",
                p.width, p.height, cell(t[0]).c_str(), cell(t[1]).c_str(), bench::speedup(t[0], t[1]));
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 7;
    Picture photo = makePicture(1920, 1080, 24);
    Picture indexed = makePicture(1920, 1080, 8);
    Picture big = makePicture(6000, 4000, 24);
    std::printf("processor ms per frame, median (min-max) of %d rounds taking turns\n", rounds);
    for (bench::Memory memory : {bench::Memory::Warm, bench::Memory::Fresh}) {
        std::printf("== %s ==\n", bench::nameOf(memory));
        for (int percent : {100, 14, 50, 150}) againstPixman(photo, percent, rounds, memory);
        againstMemcpy(indexed, rounds, memory);
        for (int percent : {36, 14}) againstPixman(big, percent, rounds, memory);
    }
    return 0;
}
