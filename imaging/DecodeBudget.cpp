#include "imaging/DecodeBudget.h"

#include <cstdio>

#include "imaging/ImageInfo.h"

namespace img_lib {

void formatByteSize(uint64_t bytes, char* out, unsigned outSize) {
    const double b = static_cast<double>(bytes);
    if (bytes >= 1'000'000'000) {
        std::snprintf(out, outSize, "%.1f GB", b / 1e9);
    } else if (bytes >= 1'000'000) {
        std::snprintf(out, outSize, "%.0f MB", b / 1e6);
    } else {
        std::snprintf(out, outSize, "%.0f KB", b / 1e3);
    }
}

void refuseTooLarge(uint64_t width, uint64_t height, uint64_t bytes) {
    char size[32];
    formatByteSize(bytes, size, sizeof size);
    char text[96];
    std::snprintf(text, sizeof text, "picture too large: %llu\xC3\x97%llu needs %s",
                  static_cast<unsigned long long>(width), static_cast<unsigned long long>(height), size);
    throw ImageException(text);
}

void refuseTooMuchWork(const char* what) {
    char text[160];
    std::snprintf(text, sizeof text, "picture needs too much work: %s", what);
    throw ImageException(text);
}

}  // namespace img_lib
