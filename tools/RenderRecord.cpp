// glimsel-idb render DB K OUT.png: one database record drawn like a picture file.
#include <cstdio>
#include <string>

#include "tools/IdbReader.h"
#include "tools/RenderImage.h"

int renderRecord(const char* database, const char* indexText, const char* output, int percent) {
    int index = 0;
    if (!parseIndex(indexText, index)) {
        std::fprintf(stderr, "glimsel-idb render: '%s' is not a record number\n", indexText);
        return 2;
    }
    IdbReader reader;
    std::string error;
    if (!reader.open(database, error)) {
        std::fprintf(stderr, "glimsel-idb render: %s\n", error.c_str());
        return 1;
    }
    if (!reader.contains(index)) {
        std::fprintf(stderr, "glimsel-idb render: %s has no record %d\n", database, index);
        return 1;
    }
    if (!reader.read(index, error)) {
        std::fprintf(stderr, "glimsel-idb render: record %d: %s\n", index, error.c_str());
        return 1;
    }
    const std::string label = std::string(database) + " record " + std::to_string(index);
    try {
        torvik_lang::_Ref<img_lib::_ImageInfo> image = reader.decode(index);
        if (!image || !image->bits) {
            std::fprintf(stderr, "glimsel-idb render: %s holds no picture (%s)\n", label.c_str(),
                         formatName(reader.code()).c_str());
            return 1;
        }
        return renderImage(*image, label.c_str(), output, percent);
    } catch (const torvik_lang::Throwable& e) {
        std::fprintf(stderr, "%s\n", e.messageText());
        return 1;
    }
}
