// Decodes the same JPEG pictures through the adapter and through bare libjpeg-turbo with
// the same settings, in turns, with a warm heap and with fresh memory, and prints the
// median processor time per picture with its spread and the ratio of the medians (above
// 1: the adapter is faster). With a warm heap bare libjpeg decodes into a buffer kept from
// picture to picture, with fresh memory into a new one each time; the saver-like loop
// runs it both ways (a decoder that hands every picture out needs a new buffer each time).
//
// The pictures: a generated 1920x1080 photograph, a generated 24-megapixel photograph,
// then every picture of the corpus folder of at least 100,000 pixels.
//
//   bench_jpeg [corpus-jpeg-good-folder] [rounds]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BareJpeg.h"
#include "bench/BenchKit.h"
#include "imaging/ImageInfo.h"
#include "tests/imaging/JpegSamples.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

// Pictures smaller than this decode in microseconds and measure mostly the clock.
constexpr long kMinPixels = 100000;

struct Input {
    std::string name;
    Bytes bytes;
    int width = 0;
    int height = 0;
};

void decodeOurs(const Input& in) {
    torvik_lang::_Ref<img_lib::_ImageInfo> image =
        img_lib::loadImage(in.bytes.data(), static_cast<int>(in.bytes.size()), img_lib::IMAGE_JPEG, "bench");
    image->freeImage();
}

Input generated(const char* name, int width, int height) {
    jpeg_samples::Options options;
    options.quality = 90;
    return {name, jpeg_samples::encode(jpeg_samples::photoLike(width, height), options), width, height};
}

std::vector<Input> collectInputs(const fs::path& folder) {
    std::vector<Input> inputs;
    inputs.push_back(generated("generated-photo-1920x1080.jpeg", 1920, 1080));
    inputs.push_back(generated("generated-photo-6000x4000.jpeg (24 MP)", 6000, 4000));

    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; ++it) files.push_back(it->path());
    std::sort(files.begin(), files.end());
    for (const fs::path& p : files) {
        std::ifstream f(p, std::ios::binary);
        Input in{p.filename().string(), Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>())};
        torvik_lang::_Ref<img_lib::_ImageInfo> image;
        try {
            image = img_lib::loadImage(in.bytes.data(), static_cast<int>(in.bytes.size()), img_lib::IMAGE_JPEG, "probe");
        } catch (img_lib::ImageException&) {
            continue;
        }
        in.width = image->width();
        in.height = image->height();
        image->freeImage();
        if (long(in.width) * in.height >= kMinPixels) inputs.push_back(in);
    }
    return inputs;
}

void printRatio(const char* what, const std::vector<double>& ours, const std::vector<double>& bare) {
    bench::Spread r = bench::ratioSpread(ours, bare);
    std::printf("  %-36s ours %s ms, bare %s ms: %.3fx (rounds %.3f-%.3f)\n", what,
                bench::format(bench::spreadOf(ours)).c_str(), bench::format(bench::spreadOf(bare)).c_str(),
                bench::speedup(ours, bare), r.min, r.max);
}

}  // namespace

int main(int argc, char** argv) {
    fs::path folder = argc > 1 && *argv[1] ? fs::path(argv[1]) : fs::path(GLIMSEL_CORPUS_DIR) / "jpeg" / "good";
    int rounds = argc > 2 ? std::max(3, std::atoi(argv[2])) : 7;

    std::vector<Input> inputs = collectInputs(folder);
    bench::BareJpeg bare;
    std::printf("processor ms per picture, median (min-max) of %d rounds taking turns ours/bare\n", rounds);
    for (bench::Memory memory : {bench::Memory::Warm, bench::Memory::Fresh}) {
        std::printf("== %s ==\n%-44s %11s %26s %26s %7s\n", bench::nameOf(memory), "picture", "size", "ours ms",
                    "bare ms", "ratio");
        std::vector<double> allOurs(rounds), allBare(rounds);
        for (const Input& in : inputs) {
            // With fresh memory nothing is kept, the bare decoder's buffer neither.
            const bool keep = memory == bench::Memory::Warm;
            std::vector<std::function<void()>> runs = {[&] { decodeOurs(in); }, [&] { bare.decode(in.bytes, keep); }};
            int repeat = memory == bench::Memory::Warm ? bench::repeatFor(runs[1], 50) : 1;
            auto t = bench::interleave(runs, rounds, repeat, memory);
            std::printf("%-44s %5dx%-5d %26s %26s %7.3f\n", in.name.c_str(), in.width, in.height,
                        bench::format(bench::spreadOf(t[0])).c_str(), bench::format(bench::spreadOf(t[1])).c_str(),
                        bench::speedup(t[0], t[1]));
            for (int r = 0; r < rounds; ++r) {
                allOurs[r] += t[0][r];
                allBare[r] += t[1][r];
            }
        }
        printRatio("all pictures", allOurs, allBare);
    }

    // A saver draws one picture after another; bare libjpeg then needs a new buffer for
    // each, and the adapter keeps its block from one picture to the next.
    const Input& big = inputs[1];
    std::printf("== saver-like loop, %s, %d rounds of 3 pictures ==\n", big.name.c_str(), rounds);
    auto t = bench::interleave({[&] { decodeOurs(big); }, [&] { bare.decode(big.bytes, false); },
                                [&] { bare.decode(big.bytes, true); }},
                               rounds, 3, bench::Memory::Warm);
    printRatio("bare, new buffer per picture", t[0], t[1]);
    printRatio("bare, one buffer kept", t[0], t[2]);
    return 0;
}
