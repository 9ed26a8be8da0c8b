// Decodes the same GIFs with the GIF decoder (to its indexed bitmap), with giflib
// (DGifSlurp, then every image composited into an 8-bit canvas of the screen's size) and
// with stb_image (stbi_load_from_memory: the first image only, as RGBA), in turns, with a
// warm heap and with fresh memory, and prints the median processor time per picture with
// its spread and the ratios of the medians.
//
// The pictures: a generated 1920x1080 photograph (plain and interlaced), a generated
// animation, a generated 24-megapixel picture, then every GIF of the corpus folder.
//
//   bench_gif [corpus-gif-folder] [rounds]
#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_GIF
#include <stb/stb_image.h>

#include "bench/BenchKit.h"
#include "imaging/ImageInfo.h"
#include "tests/imaging/GifTestKit.h"

namespace fs = std::filesystem;
using giftest::Bytes;

namespace {

struct Input {
    std::string name;
    Bytes bytes;
};

// Smooth shapes with sensor noise, dithered to a 256-colour palette (8 red, 8 green, 4
// blue levels): how a photograph looks once saved as GIF. Top-down indices.
Bytes photoIndices(uint16_t w, uint16_t h, unsigned seed) {
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0.0, 6.0);
    Bytes natural(size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            double fx = x / double(w) + seed * 0.1, fy = y / double(h);
            double r = 128 + 90 * std::sin(fx * 7 + fy * 3) + 30 * std::sin(x * 0.05) * std::cos(y * 0.07);
            double g = 128 + 100 * std::sin(fy * 5 - fx * 2 + 1) + 20 * std::cos(x * 0.013 + y * 0.021);
            double b = 128 + 100 * std::cos((fx + fy) * 4);
            double d = (bayer[y & 3][x & 3] + 0.5) / 16.0;
            auto level = [&](double v, int levels) {
                v = std::clamp(v + noise(rng), 0.0, 255.0) / 255.0 * (levels - 1) + d - 0.5;
                return std::clamp(static_cast<int>(std::lround(v)), 0, levels - 1);
            };
            natural[size_t(y) * w + x] = static_cast<uint8_t>(level(r, 8) << 5 | level(g, 8) << 2 | level(b, 4));
        }
    }
    return natural;
}

Input photoGif(uint16_t w, uint16_t h, bool interlaced, const char* name) {
    Bytes natural = photoIndices(w, h, 7);
    giftest::ImageSetup s;
    s.width = w;
    s.height = h;
    s.flags = interlaced ? 0x40 : 0;
    s.minCodeSize = 8;
    s.indices = interlaced ? giftest::interlace(natural, w, h) : natural;
    return {name, giftest::GifBuilder(w, h, 0x87).image(s).finish()};
}

// Twelve 480x360 frames: a full first frame, then changing rectangles of various sizes,
// each behind a graphic control extension, as animations are stored.
Input animationGif() {
    const uint16_t w = 480, h = 360;
    giftest::GifBuilder gif(w, h, 0x87);
    for (unsigned frame = 0; frame < 12; ++frame) {
        giftest::ImageSetup s;
        s.left = static_cast<uint16_t>(frame ? 20 * frame : 0);
        s.top = static_cast<uint16_t>(frame ? 10 * frame : 0);
        s.width = static_cast<uint16_t>(frame ? w - 2 * s.left + 1 : w);  // odd widths too
        s.height = static_cast<uint16_t>(frame ? h - 2 * s.top : h);
        s.minCodeSize = 8;
        s.indices = photoIndices(s.width, s.height, frame);
        gif.extension().image(s);
    }
    return {"animation-480x360x12 (generated)", gif.finish()};
}

// ---------------------------------------------------------------- the three decoders

volatile uint32_t sink;

bool decodeOurs(const Input& in, std::vector<uint8_t>* canvas = nullptr) {
    try {
        auto image = img_lib::loadImage(in.bytes.data(), static_cast<int>(in.bytes.size()), img_lib::IMAGE_GIF, "bench");
        sink = image->bits[0];
        if (canvas) {  // top-down copy of an 8-bit bitmap, for the cross-check
            int w = image->width(), h = image->height();
            size_t stride = (size_t(w) + 3) / 4 * 4;
            canvas->assign(size_t(w) * h, 0);
            for (int y = 0; y < h; ++y) std::memcpy(canvas->data() + size_t(y) * w, image->bits + (h - 1 - y) * stride, w);
        }
        image->freeImage();
        return true;
    } catch (img_lib::ImageException&) {
        return false;
    }
}

struct MemoryReader {
    const Bytes* bytes;
    size_t pos;
};

int readMemory(GifFileType* gif, GifByteType* dst, int n) {
    MemoryReader* r = static_cast<MemoryReader*>(gif->UserData);
    size_t count = std::min(static_cast<size_t>(n), r->bytes->size() - r->pos);
    std::memcpy(dst, r->bytes->data() + r->pos, count);
    r->pos += count;
    return static_cast<int>(count);
}

bool decodeGiflib(const Input& in, std::vector<uint8_t>* keep = nullptr) {
    MemoryReader reader{&in.bytes, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, readMemory, &error);
    if (!gif) return false;
    bool ok = DGifSlurp(gif) == GIF_OK;
    if (ok) {
        const int sw = gif->SWidth, sh = gif->SHeight;
        std::vector<uint8_t> canvas(size_t(sw) * sh, 0);
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& image = gif->SavedImages[i];
            const GifImageDesc& d = image.ImageDesc;
            if (d.Left >= sw || d.Top >= sh) continue;
            int w = std::min(d.Width, sw - d.Left), h = std::min(d.Height, sh - d.Top);
            for (int y = 0; y < h; ++y) {
                std::memcpy(canvas.data() + size_t(d.Top + y) * sw + d.Left, image.RasterBits + size_t(y) * d.Width, w);
            }
        }
        sink = canvas.empty() ? 0 : canvas[0];
        if (keep) *keep = std::move(canvas);
    }
    DGifCloseFile(gif, &error);
    return ok;
}

bool decodeStb(const Input& in) {
    int w = 0, h = 0, channels = 0;
    stbi_uc* rgba = stbi_load_from_memory(in.bytes.data(), static_cast<int>(in.bytes.size()), &w, &h, &channels, 4);
    if (!rgba) return false;
    sink = rgba[0];
    stbi_image_free(rgba);
    return true;
}

Bytes readFile(const fs::path& path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

struct Totals {
    std::vector<double> ours, giflib;  // per round, summed over the pictures
    void add(const std::vector<std::vector<double>>& t) {
        ours.resize(t[0].size());
        giflib.resize(t[1].size());
        for (size_t r = 0; r < t[0].size(); ++r) {
            ours[r] += t[0][r];
            giflib[r] += t[1][r];
        }
    }
};

void printTotals(const char* what, const Totals& t) {
    if (t.ours.empty()) return;
    bench::Spread ratio = bench::ratioSpread(t.ours, t.giflib);
    std::printf("  %-44s ours %s ms, giflib %s ms: ours %.2fx giflib (rounds %.2f-%.2f)\n", what,
                bench::format(bench::spreadOf(t.ours)).c_str(), bench::format(bench::spreadOf(t.giflib)).c_str(),
                bench::speedup(t.ours, t.giflib), ratio.min, ratio.max);
}

}  // namespace

int main(int argc, char** argv) {
    fs::path corpus = argc > 1 && *argv[1] ? fs::path(argv[1]) : fs::path(GLIMSEL_CORPUS_DIR) / "gif" / "good";
    int rounds = argc > 2 ? std::max(3, std::atoi(argv[2])) : 7;

    std::vector<Input> inputs;
    inputs.push_back(photoGif(1920, 1080, false, "photo-1920x1080 (generated)"));
    inputs.push_back(photoGif(1920, 1080, true, "photo-1920x1080-interlaced (generated)"));
    inputs.push_back(animationGif());
    inputs.push_back(photoGif(6000, 4000, false, "photo-6000x4000 (generated, 24 MP)"));
    const size_t generated = inputs.size();
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(corpus, ec), end; !ec && it != end; ++it) {
        if (it->path().extension() == ".gif") files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& p : files) inputs.push_back({p.filename().string(), readFile(p)});
    if (files.empty()) std::printf("(no corpus at %s: generated pictures only)\n", corpus.string().c_str());

    std::printf("processor ms per picture, median (min-max) of %d rounds taking turns ours/giflib/stb\n", rounds);
    for (bench::Memory memory : {bench::Memory::Warm, bench::Memory::Fresh}) {
        std::printf("== %s ==\n", bench::nameOf(memory));
        std::printf("%-40s %8s %24s %24s %8s %8s  %s\n", "GIF", "KB", "ours", "giflib", "/giflib", "/stb*",
                    "same pixels");
        Totals set, made;
        for (size_t i = 0; i < inputs.size(); ++i) {
            const Input& in = inputs[i];
            std::vector<uint8_t> ours, theirs;
            bool okOurs = decodeOurs(in, &ours);
            bool okGiflib = decodeGiflib(in, &theirs);
            bool okStb = decodeStb(in);
            if (!okOurs || !okGiflib) {
                std::printf("%-40s skipped: refused by%s%s\n", in.name.c_str(), okOurs ? "" : " ours",
                            okGiflib ? "" : " giflib");
                continue;
            }
            // On an 8-bit screen both canvases must agree (no transparency either way).
            const char* same = ours == theirs ? "yes" : "no (not an 8-bit screen)";
            std::vector<std::function<void()>> runs = {[&] { decodeOurs(in); }, [&] { decodeGiflib(in); }};
            if (okStb) runs.push_back([&] { decodeStb(in); });
            int repeat = memory == bench::Memory::Warm ? bench::repeatFor(runs[1], 20) : 1;
            auto t = bench::interleave(runs, rounds, repeat, memory);
            char stb[16] = "-";
            if (okStb) std::snprintf(stb, sizeof stb, "%.2fx", bench::speedup(t[0], t[2]));
            std::printf("%-40s %8.1f %24s %24s %7.2fx %8s  %s\n", in.name.c_str(), in.bytes.size() / 1024.0,
                        bench::format(bench::spreadOf(t[0])).c_str(), bench::format(bench::spreadOf(t[1])).c_str(),
                        bench::speedup(t[0], t[1]), stb, same);
            (i < generated ? made : set).add(t);
        }
        printTotals("generated (photo, interlaced, animation, 24 MP)", made);
        printTotals("whole corpus folder", set);
    }
    std::printf("* stb_image decodes only the first image of an animation, to RGBA.\n");
    return 0;
}
