// Draws a 24-bit 1920x1080 DIB onto a 32-bit canvas through the renderer, at 100 % and at
// 14 % (the preview scale), side by side with pixman compositing the same picture with
// PIXMAN_OP_SRC, the nearest filter and a scaling transform, from an r8g8b8 image (the
// DIB's own bytes) and from an x8r8g8b8 copy. Prints milliseconds per frame and the
// ratio pixman / renderer (above 1: the renderer is faster).
//
//   bench_render [frames-at-100%]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include <pixman.h>
#include <time.h>

#include "imaging/DibRenderer.h"

using namespace img_lib;

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

// The thread's processor time in milliseconds: steadier than the wall clock on a machine
// that is busy with other work.
double cpuMs() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Times several draws side by side: in each round every draw runs `frames` times, so a
// change in the machine's load hits all of them alike. Returns the best processor
// milliseconds per frame of each.
std::vector<double> timeSideBySide(int frames, const std::vector<std::function<void()>>& draws) {
    std::vector<double> best(draws.size(), 1e30);
    for (const auto& draw : draws) draw();  // warm the caches and the page tables
    for (int round = 0; round < 7; ++round) {
        for (size_t d = 0; d < draws.size(); ++d) {
            const double start = cpuMs();
            for (int i = 0; i < frames; ++i) draws[d]();
            const double ms = (cpuMs() - start) / frames;
            best[d] = std::min(best[d], ms);
        }
    }
    return best;
}

struct Picture {
    std::vector<uint8_t> info;
    std::vector<uint8_t> bits;       // bottom-up B, G, R rows, as a BMP holds them
    std::vector<uint8_t> topDown24;  // the same rows top-down, for pixman's r8g8b8
    std::vector<uint32_t> topDown32;  // x8r8g8b8 copy
    uint32_t stride = 0;
};

Picture makePicture() {
    Picture p;
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = kWidth;
    h.biHeight = kHeight;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = BI_RGB;
    p.info.resize(sizeof h);
    std::memcpy(p.info.data(), &h, sizeof h);
    p.stride = (kWidth * 3 + 3) / 4 * 4;
    p.bits.resize(static_cast<size_t>(p.stride) * kHeight);
    p.topDown24.resize(p.bits.size());
    p.topDown32.resize(static_cast<size_t>(kWidth) * kHeight);
    uint32_t seed = 12345;
    for (int y = 0; y < kHeight; ++y) {
        uint8_t* row = p.bits.data() + static_cast<size_t>(kHeight - 1 - y) * p.stride;
        for (int x = 0; x < kWidth; ++x) {
            seed = seed * 1103515245 + 12345;
            uint32_t c = (static_cast<uint32_t>(x * 255 / kWidth) << 16 | static_cast<uint32_t>(y * 255 / kHeight) << 8) ^
                         (seed >> 24);
            row[3 * x] = static_cast<uint8_t>(c);
            row[3 * x + 1] = static_cast<uint8_t>(c >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(c >> 16);
            p.topDown32[static_cast<size_t>(y) * kWidth + x] = c & 0xFFFFFF;
        }
        std::memcpy(p.topDown24.data() + static_cast<size_t>(y) * p.stride, row, p.stride);
    }
    return p;
}

struct Scene {
    int width, height;
    std::vector<uint32_t> ours, theirs;
};

void pixmanDraw(pixman_image_t* src, pixman_image_t* dst, int width, int height) {
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_double_to_fixed(double(kWidth) / width),
                                pixman_double_to_fixed(double(kHeight) / height));
    pixman_image_set_transform(src, &t);
    pixman_image_set_filter(src, PIXMAN_FILTER_NEAREST, nullptr, 0);
    pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, 0, 0, 0, 0, 0, 0, width, height);
}

void run(const Picture& p, int percent, int frames) {
    const int width = kWidth * percent / 100, height = kHeight * percent / 100;
    std::vector<uint32_t> ours(static_cast<size_t>(width) * height), theirs(ours.size());
    Canvas canvas;
    canvas.pixels = ours.data();
    canvas.width = canvas.stride = width;
    canvas.height = height;
    Rect target;
    target.width = width;
    target.height = height;
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, width, height, theirs.data(), width * 4);
    pixman_image_t* src24 = pixman_image_create_bits(PIXMAN_r8g8b8, kWidth, kHeight,
                                                     reinterpret_cast<uint32_t*>(const_cast<uint8_t*>(p.topDown24.data())),
                                                     static_cast<int>(p.stride));
    pixman_image_t* src32 = pixman_image_create_bits(PIXMAN_x8r8g8b8, kWidth, kHeight,
                                                     const_cast<uint32_t*>(p.topDown32.data()), kWidth * 4);
    auto ours_ = [&] {
        drawDib(canvas, target, reinterpret_cast<const BITMAPINFO*>(p.info.data()), static_cast<uint32_t>(p.info.size()),
                p.bits.data(), static_cast<uint32_t>(p.bits.size()));
    };
    std::vector<double> ms = timeSideBySide(frames, {ours_, [&] { pixmanDraw(src24, dst, width, height); },
                                                     [&] { pixmanDraw(src32, dst, width, height); }});
    double oursMs = ms[0], ms24 = ms[1], ms32 = ms[2];
    ours_();
    pixmanDraw(src24, dst, width, height);
    long differ24 = 0;
    for (size_t i = 0; i < ours.size(); ++i) differ24 += (ours[i] & 0xFFFFFF) != (theirs[i] & 0xFFFFFF);
    pixman_image_unref(src24);
    pixman_image_unref(src32);
    pixman_image_unref(dst);

    std::printf("%3d %% (%4dx%-4d)  renderer %8.3f ms | pixman r8g8b8 %8.3f ms (%.2fx) | pixman x8r8g8b8 %8.3f ms (%.2fx)"
                " | %ld pixels differ from pixman\n",
                percent, width, height, oursMs, ms24, ms24 / oursMs, ms32, ms32 / oursMs, differ24);
}

}  // namespace

int main(int argc, char** argv) {
    int frames = argc > 1 ? std::atoi(argv[1]) : 40;
    if (frames <= 0) frames = 40;
    Picture p = makePicture();
    std::printf("24-bit %dx%d DIB onto a 32-bit canvas, processor time, best of 7 interleaved rounds\n", kWidth, kHeight);
    run(p, 100, frames);
    run(p, 14, frames * 20);
    run(p, 50, frames);
    run(p, 150, frames / 2 + 1);
    return 0;
}
