// glimsel-idb extract: writes the picture file of one database record.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/IdbCommand.h"
#include "tools/IdbReader.h"

namespace {

void usage(FILE* out) {
    std::fprintf(out,
                 "Usage: glimsel-idb extract DB K OUT\n\n"
                 "Writes the picture file held by record K of the image database DB to OUT,\n"
                 "byte for byte as it was stored.\n");
}

int extract(const char* path, const char* indexText, const char* output) {
    int index = 0;
    if (!parseIndex(indexText, index)) {
        std::fprintf(stderr, "glimsel-idb extract: '%s' is not a record number\n", indexText);
        return 2;
    }
    IdbReader reader;
    std::string error;
    if (!reader.open(path, error)) {
        std::fprintf(stderr, "glimsel-idb extract: %s\n", error.c_str());
        return 1;
    }
    if (index == 0 || !reader.contains(index)) {
        std::fprintf(stderr, "glimsel-idb extract: %s has no picture record %d\n", path, index);
        return 1;
    }
    if (!reader.read(index, error)) {
        std::fprintf(stderr, "glimsel-idb extract: record %d: %s\n", index, error.c_str());
        return 1;
    }
    FILE* f = std::fopen(output, "wb");
    if (!f) {
        std::fprintf(stderr, "glimsel-idb extract: can't write '%s': %s\n", output, std::strerror(errno));
        return 1;
    }
    const size_t size = static_cast<size_t>(reader.pictureSize());
    const bool written = std::fwrite(reader.picture(), 1, size, f) == size;
    if (std::fclose(f) != 0 || !written) {
        std::fprintf(stderr, "glimsel-idb extract: can't write '%s'\n", output);
        std::remove(output);
        return 1;
    }
    return 0;
}

int run(int argc, char** argv) {
    if (argc != 3) {
        usage(stderr);
        return 2;
    }
    return extract(argv[0], argv[1], argv[2]);
}

}  // namespace

const IdbCommand extractCommand = {"extract", "write the picture file of one record", run, usage};
