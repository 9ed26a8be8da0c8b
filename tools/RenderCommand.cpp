// glimsel-idb render: decodes one picture, draws it through the DIB renderer at a scale
// and writes what the screen would show as a PNG file.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/DibRenderer.h"
#include "imaging/ImageInfo.h"
#include "tools/IdbCommand.h"
#include "tools/PngWriter.h"
#include "tools/RenderImage.h"

namespace {

using img_lib::ImageType;

// The largest canvas the command draws on, in pixels (a gigabyte of canvas).
constexpr int64_t kMaxCanvasPixels = int64_t(1) << 28;

void usage(FILE* out) {
    std::fprintf(out,
                 "Usage: glimsel-idb render PICTURE OUT.png [--scale PERCENT]\n"
                 "       glimsel-idb render DB K OUT.png [--scale PERCENT]\n\n"
                 "Decodes PICTURE (.jpg, .jpeg, .bmp or .gif), or record K of the image\n"
                 "database DB, and draws it at PERCENT of its size (default 100) onto a black\n"
                 "canvas of exactly that size, as the saver draws it, then writes the canvas\n"
                 "to OUT.png.\n");
}

// The picture kind that the file name's extension names, as the folder source decides it.
bool typeFromName(const char* path, ImageType& type) {
    const char* dot = std::strrchr(path, '.');
    if (!dot) return false;
    std::string ext;
    for (const char* p = dot + 1; *p; ++p) ext += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    if (ext == "jpg" || ext == "jpeg") type = img_lib::IMAGE_JPEG;
    else if (ext == "bmp") type = img_lib::IMAGE_BMP;
    else if (ext == "gif") type = img_lib::IMAGE_GIF;
    else if (ext == "png") type = img_lib::IMAGE_PNG;
    else return false;
    return true;
}

bool parsePercent(const char* text, int& percent) {
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (end == text || *end || v <= 0 || v > 100000) return false;
    percent = static_cast<int>(v);
    return true;
}

int render(const char* picture, const char* output, int percent) {
    ImageType type;
    if (!typeFromName(picture, type)) {
        std::fprintf(stderr, "glimsel-idb render: '%s' is not a .jpg, .jpeg, .bmp or .gif file\n", picture);
        return 2;
    }
    try {
        torvik_lang::_Ref<img_lib::_ImageInfo> image = img_lib::loadImage(picture, type);
        if (!image || !image->bits) {
            std::fprintf(stderr, "glimsel-idb render: no picture in '%s'\n", picture);
            return 1;
        }
        return renderImage(*image, picture, output, percent);
    } catch (const torvik_lang::Throwable& e) {
        std::fprintf(stderr, "%s\n", e.messageText());
        return 1;
    }
}

int run(int argc, char** argv) {
    std::vector<const char*> files;
    int percent = 100;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--scale") == 0) {
            if (i + 1 >= argc || !parsePercent(argv[i + 1], percent)) {
                std::fprintf(stderr, "glimsel-idb render: --scale needs a percentage from 1 to 100000\n");
                return 2;
            }
            ++i;
        } else {
            files.push_back(argv[i]);
        }
    }
    if (files.size() == 3) return renderRecord(files[0], files[1], files[2], percent);
    if (files.size() != 2) {
        usage(stderr);
        return 2;
    }
    return render(files[0], files[1], percent);
}

}  // namespace

int renderImage(img_lib::_ImageInfo& image, const char* picture, const char* output, int percent) {
    int32_t width = 0, height = 0;
    if (!img_lib::dibSize(image.info, image.infoBytes, width, height)) {
        std::fprintf(stderr, "glimsel-idb render: '%s' declares no picture size\n", picture);
        return 1;
    }
    // The saver's size rule: both sides at the same percentage, truncated.
    const int64_t w = int64_t(width) * percent / 100, h = int64_t(height) * percent / 100;
    if (w <= 0 || h <= 0 || w > INT32_MAX || h > INT32_MAX || w * h > kMaxCanvasPixels) {
        std::fprintf(stderr, "glimsel-idb render: %dx%d at %d %% gives a %lldx%lld canvas\n", width, height, percent,
                     static_cast<long long>(w), static_cast<long long>(h));
        return 1;
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(w * h), 0);
    img_lib::Canvas canvas;
    canvas.pixels = pixels.data();
    canvas.width = canvas.stride = static_cast<int>(w);
    canvas.height = static_cast<int>(h);
    img_lib::Rect target;
    target.width = canvas.width;
    target.height = canvas.height;
    const bool drawn = img_lib::drawImage(canvas, target, image);
    image.freeImage();
    if (!drawn) {
        std::fprintf(stderr, "glimsel-idb render: '%s' cannot be drawn\n", picture);
        return 1;
    }
    std::string error;
    if (!writePng(output, canvas, error)) {
        std::fprintf(stderr, "glimsel-idb render: %s: %s\n", output, error.c_str());
        return 1;
    }
    return 0;
}

const IdbCommand renderCommand = {"render", "draw a picture as the saver shows it and write it as PNG", run, usage};
