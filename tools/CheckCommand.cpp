// glimsel-idb check: decodes and draws every picture of a database and reports each one
// that fails.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "imaging/DibRenderer.h"
#include "tools/IdbCommand.h"
#include "tools/IdbReader.h"
#include "tools/Progress.h"

namespace {

// Pictures larger than this are decoded but not drawn.
constexpr int64_t kMaxDrawnPixels = int64_t(1) << 24;

void usage(FILE* out) {
    std::fprintf(out,
                 "Usage: glimsel-idb check DB\n\n"
                 "Reads every picture record of the image database DB, decodes it and draws\n"
                 "it at its own size, as the saver would. Prints one line for each record that\n"
                 "fails, with the reason, and exits with status 1 when any does.\n");
}

// Why record `index` cannot be shown; empty when it can.
std::string checkRecord(IdbReader& reader, int index, std::vector<uint32_t>& pixels) {
    std::string error;
    if (!reader.read(index, error)) return error;
    try {
        torvik_lang::_Ref<img_lib::_ImageInfo> image = reader.decode(index);
        if (!image) return "unknown format " + formatName(reader.code());
        if (!image->bits) return "no picture";
        int32_t width = 0, height = 0;
        if (!img_lib::dibSize(image->info, image->infoBytes, width, height) || width <= 0 || height <= 0) {
            image->freeImage();
            return "no picture size";
        }
        bool drawn = true;
        if (int64_t(width) * height <= kMaxDrawnPixels) {
            pixels.assign(static_cast<size_t>(int64_t(width) * height), 0);
            img_lib::Canvas canvas;
            canvas.pixels = pixels.data();
            canvas.width = canvas.stride = width;
            canvas.height = height;
            img_lib::Rect target;
            target.width = width;
            target.height = height;
            drawn = img_lib::drawImage(canvas, target, *image);
        }
        image->freeImage();
        if (!drawn) return "cannot be drawn";
    } catch (const torvik_lang::Throwable& e) {
        return e.messageText();
    }
    return std::string();
}

int check(const char* path) {
    IdbReader reader;
    std::string error;
    if (!reader.open(path, error)) {
        std::fprintf(stderr, "glimsel-idb check: %s\n", error.c_str());
        return 1;
    }
    int pictures = 0, failures = 0;
    std::vector<uint32_t> pixels;
    Progress progress("check", reader.count());
    for (int i = 0; i < reader.count(); ++i) {
        const int index = reader.firstIndex() + i;
        progress.update(i + 1);
        if (index == 0) continue;  // reserved
        ++pictures;
        const std::string failure = checkRecord(reader, index, pixels);
        if (!failure.empty()) {
            ++failures;
            progress.clear();
            std::printf("record %d: %s\n", index, failure.c_str());
        }
    }
    progress.clear();
    std::printf("%s: %d pictures, %d failed\n", path, pictures, failures);
    return failures == 0 ? 0 : 1;
}

int run(int argc, char** argv) {
    if (argc != 1) {
        usage(stderr);
        return 2;
    }
    return check(argv[0]);
}

}  // namespace

const IdbCommand checkCommand = {"check", "decode and draw every picture of an image database", run, usage};
