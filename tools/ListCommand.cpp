// glimsel-idb list: one line per record with its format, size and picture size.
#include <cstdio>
#include <string>

#include "tools/IdbCommand.h"
#include "tools/IdbReader.h"
#include "tools/Progress.h"

namespace {

void usage(FILE* out) {
    std::fprintf(out,
                 "Usage: glimsel-idb list DB\n\n"
                 "Prints one line per record of the image database DB: its index, the\n"
                 "picture's format, the picture file's size in bytes and the picture's width\n"
                 "and height (found by decoding it), or why the record holds no picture.\n");
}

int list(const char* path) {
    IdbReader reader;
    std::string error;
    if (!reader.open(path, error)) {
        std::fprintf(stderr, "glimsel-idb list: %s\n", error.c_str());
        return 1;
    }
    std::printf("%8s  %-7s %10s  %s\n", "record", "format", "bytes", "size");
    const int first = reader.firstIndex();
    Progress progress("list", reader.count());
    for (int i = 0; i < reader.count(); ++i) {
        const int index = first + i;
        std::string line;
        char head[64];
        if (index == 0) {
            line = "reserved";
        } else if (!reader.read(index, error)) {
            line = "error: " + error;
        } else {
            std::snprintf(head, sizeof head, "%-7s %10d  ", formatName(reader.code()).c_str(), reader.pictureSize());
            line = head;
            try {
                torvik_lang::_Ref<img_lib::_ImageInfo> image = reader.decode(index);
                if (image && image->bits) {
                    line += std::to_string(image->width()) + "x" + std::to_string(image->height());
                    image->freeImage();
                } else {
                    line += "unknown format";
                }
            } catch (const torvik_lang::Throwable& e) {
                line += std::string("error: ") + e.messageText();
            }
        }
        progress.clear();
        std::printf("%8d  %s\n", index, line.c_str());
        progress.update(i + 1);
    }
    return 0;
}

int run(int argc, char** argv) {
    if (argc != 1) {
        usage(stderr);
        return 2;
    }
    return list(argv[0]);
}

}  // namespace

const IdbCommand listCommand = {"list", "list the records of an image database", run, usage};
