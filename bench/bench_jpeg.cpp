// Decodes the same JPEG pictures through the adapter and through bare libjpeg with the
// same settings (float IDCT, BGR out, into a buffer allocated once), side by side, and
// prints the processor time per picture, the pixel throughput and the ratio of the two.
//
//   bench_jpeg [corpus-jpeg-good-folder] [rounds]
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <jpeglib.h>

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

// Bare libjpeg: one decompressor kept for every run, as the adapter keeps its own.
class BareDecoder {
public:
    BareDecoder() {
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_decompress(&cinfo);
    }
    ~BareDecoder() { jpeg_destroy_decompress(&cinfo); }

    void prepare(int width, int height) {
        size_t rowBytes = 3 * size_t(width) + width % 4;
        buffer.assign(rowBytes * height, 0);
        rows.resize(height);
        for (int y = 0; y < height; ++y) rows[y] = buffer.data() + y * rowBytes;
    }

    void decode(const Bytes& bytes) {
        jpeg_mem_src(&cinfo, bytes.data(), bytes.size());
        jpeg_read_header(&cinfo, TRUE);
        cinfo.dct_method = JDCT_FLOAT;
        cinfo.out_color_space = JCS_EXT_BGR;
        jpeg_start_decompress(&cinfo);
        while (cinfo.output_scanline < cinfo.output_height) {
            jpeg_read_scanlines(&cinfo, &rows[cinfo.output_scanline], cinfo.output_height - cinfo.output_scanline);
        }
        jpeg_finish_decompress(&cinfo);
    }

private:
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    Bytes buffer;
    std::vector<JSAMPROW> rows;
};

void decodeOurs(const Input& in) {
    torvik_lang::_Ref<img_lib::_ImageInfo> image =
        img_lib::loadImage(in.bytes.data(), static_cast<int>(in.bytes.size()), img_lib::IMAGE_JPEG, "bench");
    image->freeImage();
}

// Processor time rather than wall time: the machine may be busy with other work, and
// only the time this decoder spends computing is wanted.
template <class F>
double secondsFor(int times, F&& f) {
    std::clock_t start = std::clock();
    for (int i = 0; i < times; ++i) f();
    return double(std::clock() - start) / CLOCKS_PER_SEC;
}

std::vector<Input> collectInputs(const fs::path& folder) {
    std::vector<Input> inputs;
    jpeg_samples::Picture photo = jpeg_samples::photoLike(1920, 1080);
    jpeg_samples::Options options;
    options.quality = 90;
    inputs.push_back({"generated-photo-1920x1080.jpeg", jpeg_samples::encode(photo, options), 1920, 1080});

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

}  // namespace

int main(int argc, char** argv) {
    fs::path folder = argc > 1 && *argv[1] ? fs::path(argv[1]) : fs::path(GLIMSEL_CORPUS_DIR) / "jpeg" / "good";
    int rounds = argc > 2 ? std::max(3, std::atoi(argv[2])) : 9;

    std::vector<Input> inputs = collectInputs(folder);
    std::printf("%-48s %11s %10s %10s %9s %9s %7s\n", "picture", "size", "ours ms", "bare ms", "ours MB/s",
                "bare MB/s", "ratio");
    double totalOurs = 0, totalBare = 0;
    for (const Input& in : inputs) {
        BareDecoder bare;
        bare.prepare(in.width, in.height);
        // About 0.1 s of decoding per round and side, the two sides taking turns picture
        // by picture so that a busy machine slows both alike; the best round counts.
        double once = secondsFor(1, [&] { bare.decode(in.bytes); });
        int times = std::max(1, static_cast<int>(0.1 / std::max(once, 1e-6)));
        double o = 1e9, b = 1e9;
        for (int r = 0; r < rounds; ++r) {
            double oursTotal = 0, bareTotal = 0;
            for (int i = 0; i < times; ++i) {
                oursTotal += secondsFor(1, [&] { decodeOurs(in); });
                bareTotal += secondsFor(1, [&] { bare.decode(in.bytes); });
            }
            o = std::min(o, oursTotal / times);
            b = std::min(b, bareTotal / times);
        }
        double megabytes = 3.0 * in.width * in.height / 1e6;
        std::printf("%-48s %5dx%-5d %10.3f %10.3f %9.1f %9.1f %7.3f\n", in.name.c_str(), in.width, in.height,
                    o * 1e3, b * 1e3, megabytes / o, megabytes / b, b / o);
        totalOurs += o;
        totalBare += b;
    }
    if (totalOurs > 0) {
        std::printf("all %zu pictures: ours %.3f ms, bare %.3f ms, ours runs at %.3fx the bare speed\n",
                    inputs.size(), totalOurs * 1e3, totalBare * 1e3, totalBare / totalOurs);
    }
    return 0;
}
