// Decodes the same GIFs with the GIF decoder (to its indexed bitmap), with giflib
// (DGifSlurp, then every image composited into an 8-bit canvas of the screen's size) and
// with stb_image (stbi_load_from_memory: the first image only, as RGBA), one after the
// other, and prints the throughput in megabytes of GIF per second and the ratios.
//
//   bench_gif [corpus-gif-folder] [seconds-per-measurement]
#include <gif_lib.h>

#include <algorithm>
#include <chrono>
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

#include "imaging/ImageInfo.h"
#include "tests/imaging/GifTestKit.h"

namespace fs = std::filesystem;
using giftest::Bytes;

namespace {

struct Input {
    std::string name;
    Bytes bytes;
};

// A 1920x1080 picture of smooth shapes with sensor noise, dithered to a 256-colour
// palette (8 red, 8 green, 4 blue levels): how a photograph looks once saved as GIF.
Input photoGif(bool interlaced) {
    const uint16_t w = 1920, h = 1080;
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0.0, 6.0);
    Bytes natural(size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            double fx = x / double(w), fy = y / double(h);
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
    giftest::ImageSetup s;
    s.width = w;
    s.height = h;
    s.flags = interlaced ? 0x40 : 0;
    s.minCodeSize = 8;
    s.indices = interlaced ? giftest::interlace(natural, w, h) : natural;
    return {interlaced ? "photo-1920x1080-interlaced (generated)" : "photo-1920x1080 (generated)",
            giftest::GifBuilder(w, h, 0x87).image(s).finish()};
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Runs `decode` for at least `budget` seconds (and at least 3 times); the best time of one run.
template <typename F>
double best(F decode, double budget) {
    double fastest = 1e30, total = 0;
    for (int runs = 0; runs < 3 || total < budget; ++runs) {
        auto start = std::chrono::steady_clock::now();
        decode();
        double t = seconds(start);
        fastest = std::min(fastest, t);
        total += t;
    }
    return fastest;
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

}  // namespace

int main(int argc, char** argv) {
    fs::path corpus = argc > 1 ? fs::path(argv[1]) : fs::path(GLIMSEL_CORPUS_DIR) / "gif" / "good";
    double budget = argc > 2 ? std::atof(argv[2]) : 0.5;

    std::vector<Input> inputs;
    inputs.push_back(photoGif(false));
    inputs.push_back(photoGif(true));
    for (const char* name : {"wuffs-harvesters.gif", "wuffs-hibiscus.regular.gif", "wuffs-gifplayer-muybridge.gif",
                             "wuffs-muybridge.gif", "wuffs-animated-red-blue.gif", "wuffs-hippopotamus.interlaced.gif",
                             "wuffs-bricks-dither.gif"}) {
        if (fs::exists(corpus / name)) inputs.push_back({name, readFile(corpus / name)});
    }
    if (inputs.size() == 2) std::printf("(no corpus at %s: generated pictures only)\n", corpus.string().c_str());

    std::printf("%-40s %9s %10s %10s %10s %8s %8s  %s\n", "GIF", "KB", "ours MB/s", "giflib", "stb*", "/giflib",
                "/stb", "same pixels");
    double oursTotal = 0, giflibTotal = 0, bytesTotal = 0, stbTotal = 0, oursStbTotal = 0, stbBytes = 0;
    for (const Input& in : inputs) {
        std::vector<uint8_t> ours, theirs;
        bool okOurs = decodeOurs(in, &ours);
        bool okGiflib = decodeGiflib(in, &theirs);
        bool okStb = decodeStb(in);
        if (!okOurs || !okGiflib) {
            std::printf("%-40s skipped: refused by%s%s\n", in.name.c_str(), okOurs ? "" : " ours", okGiflib ? "" : " giflib");
            continue;
        }
        // On an 8-bit screen both canvases must agree (no transparency either way).
        const char* same = ours == theirs ? "yes" : "no (not an 8-bit screen)";
        double tOurs = best([&] { decodeOurs(in); }, budget);
        double tGiflib = best([&] { decodeGiflib(in); }, budget);
        double tStb = okStb ? best([&] { decodeStb(in); }, budget) : 0;
        double mb = in.bytes.size() / 1e6;
        char stb[2][16] = {"-", "-"};
        if (okStb) {
            std::snprintf(stb[0], sizeof stb[0], "%.1f", mb / tStb);
            std::snprintf(stb[1], sizeof stb[1], "%.2fx", tStb / tOurs);
            stbTotal += tStb;
            oursStbTotal += tOurs;
            stbBytes += mb;
        }
        std::printf("%-40s %9.1f %10.1f %10.1f %10s %7.2fx %8s  %s\n", in.name.c_str(), in.bytes.size() / 1024.0,
                    mb / tOurs, mb / tGiflib, stb[0], tGiflib / tOurs, stb[1], same);
        oursTotal += tOurs;
        giflibTotal += tGiflib;
        bytesTotal += mb;
    }
    std::printf("all: ours %.1f MB/s, giflib %.1f MB/s: ours runs at %.2fx giflib\n", bytesTotal / oursTotal,
                bytesTotal / giflibTotal, giflibTotal / oursTotal);
    if (stbTotal > 0) {
        std::printf("where stb_image decodes: ours %.1f MB/s, stb* %.1f MB/s: ours runs at %.2fx stb*\n",
                    stbBytes / oursStbTotal, stbBytes / stbTotal, stbTotal / oursStbTotal);
    }
    std::printf("* stb_image decodes only the first image of an animation, to RGBA.\n");
    return 0;
}
