// The GIF decoder against the shared picture corpus: every file's outcome (a picture or
// the message it fails with) and every picture's pixels against the reference decodes.
// Setting GLIMSEL_GIF_OUTDIR also writes each decode there as NAME.gif.png.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/ImageInfo.h"

using namespace img_lib;
namespace fs = std::filesystem;

namespace {

struct Rgb {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // R, G, B per pixel, top row first
};

bool readPng(const std::string& path, Rgb& out) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
    png.format = PNG_FORMAT_RGB;
    out.width = static_cast<int>(png.width);
    out.height = static_cast<int>(png.height);
    out.pixels.resize(PNG_IMAGE_SIZE(png));
    return png_image_finish_read(&png, nullptr, out.pixels.data(), 0, nullptr) != 0;
}

// The record's picture as RGB, looked up in its colour table.
Rgb toRgb(const _ImageInfo& image) {
    Rgb out;
    out.width = image.width();
    out.height = image.height();
    int bpp = image.info->bmiHeader.biBitCount;
    size_t stride = (static_cast<size_t>(out.width) * bpp + 31) / 32 * 4;
    for (int y = 0; y < out.height; ++y) {
        const uint8_t* row = image.bits + static_cast<size_t>(out.height - 1 - y) * stride;
        for (int x = 0; x < out.width; ++x) {
            int index = bpp == 8 ? row[x] : bpp == 4 ? (x & 1 ? row[x / 2] & 15 : row[x / 2] >> 4)
                                                     : row[x / 8] >> (7 - x % 8) & 1;
            const RGBQUAD& q = image.info->bmiColors[index];
            out.pixels.insert(out.pixels.end(), {q.rgbRed, q.rgbGreen, q.rgbBlue});
        }
    }
    return out;
}

void writePng(const std::string& path, const Rgb& rgb) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(rgb.width);
    png.height = static_cast<png_uint_32>(rgb.height);
    png.format = PNG_FORMAT_RGB;
    png_image_write_to_file(&png, path.c_str(), 0, rgb.pixels.data(), 0, nullptr);
}

std::string decodeFile(const fs::path& path, Rgb& picture) {
    try {
        _Ref<_ImageInfo> image = loadImage(path.string().c_str(), IMAGE_GIF);
        picture = toRgb(*image);
        image->freeImage();
        return "ok";
    } catch (ImageException& e) {
        return e.messageText();
    }
}

TEST(GifCorpus, OutcomesAndPicturesMatchTheReferences) {
    fs::path root = fs::path(GLIMSEL_CORPUS_DIR) / "gif";
    if (!fs::exists(root / "ref-spec" / "outcomes.tsv")) GTEST_SKIP() << "no corpus at " << root;
    std::map<std::string, std::string> expected;
    std::ifstream tsv(root / "ref-spec" / "outcomes.tsv");
    for (std::string line; std::getline(tsv, line);) {
        std::istringstream fields(line);
        std::string name, group, result;
        std::getline(fields, name, '\t');
        std::getline(fields, group, '\t');
        std::getline(fields, result, '\t');
        if (!name.empty()) expected[name] = result;
    }
    const char* outdir = std::getenv("GLIMSEL_GIF_OUTDIR");
    int files = 0, outcomesOk = 0, picturesOk = 0, pictures = 0;
    for (const char* group : {"good", "bad", "uncertain"}) {
        if (!fs::exists(root / group)) continue;
        for (const auto& entry : fs::directory_iterator(root / group)) {
            std::string name = entry.path().filename().string();
            SCOPED_TRACE(name);
            ++files;
            Rgb picture;
            std::string result = decodeFile(entry.path(), picture);
            auto want = expected.find(name);
            if (want == expected.end() || want->second.empty() || want->second == result) {
                ++outcomesOk;
            } else {
                ADD_FAILURE() << "outcome " << result << ", expected " << want->second;
            }
            if (result != "ok") continue;
            if (outdir) writePng((fs::path(outdir) / (name + ".png")).string(), picture);
            fs::path refPath = root / "ref-spec" / (entry.path().stem().string() + ".png");
            Rgb ref;
            if (!fs::exists(refPath)) continue;
            ++pictures;
            ASSERT_TRUE(readPng(refPath.string(), ref));
            if (ref.width == picture.width && ref.height == picture.height && ref.pixels == picture.pixels) {
                ++picturesOk;
            } else {
                ADD_FAILURE() << "picture differs from " << refPath;
            }
        }
    }
    std::printf("GIF corpus: %d files, %d outcomes as expected; %d of %d pictures identical\n", files,
                outcomesOk, picturesOk, pictures);
    EXPECT_GT(files, 0);
}

}  // namespace
