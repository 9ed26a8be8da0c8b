// What hostile pictures cost before they are refused, and what large ordinary ones cost
// to decode: for each, the outcome, the wall time and the peak memory of a process that
// decodes it alone.
//
//   bench_bombs
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "imaging/ImageInfo.h"
#include "tests/imaging/GifTestKit.h"
#include "tests/imaging/JpegSamples.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Case {
    const char* name;
    img_lib::ImageType type;
    std::function<Bytes()> make;
};

void setFrameSize(Bytes& b, uint16_t width, uint16_t height) {
    for (size_t i = 2; i + 9 < b.size(); ++i) {
        if (b[i] == 0xFF && (b[i + 1] == 0xC0 || b[i + 1] == 0xC2)) {
            b[i + 5] = static_cast<uint8_t>(height >> 8);
            b[i + 6] = static_cast<uint8_t>(height);
            b[i + 7] = static_cast<uint8_t>(width >> 8);
            b[i + 8] = static_cast<uint8_t>(width);
            return;
        }
    }
}

Bytes claiming(Bytes b, uint16_t width, uint16_t height) {
    setFrameSize(b, width, height);
    return b;
}

jpeg_samples::Options progressive444() {
    jpeg_samples::Options o;
    o.progressive = true;
    o.fullChroma = true;
    return o;
}

Bytes gifImage(uint16_t width, uint16_t height, uint8_t screenFlags, bool data) {
    giftest::ImageSetup s;
    s.width = width;
    s.height = height;
    s.minCodeSize = 8;
    if (data) {
        s.indices.resize(size_t(width) * height);
        for (size_t i = 0; i < s.indices.size(); ++i) s.indices[i] = static_cast<uint8_t>((i / 7 + i / width) % 200);
    } else {
        s.indices = {0};
    }
    return giftest::GifBuilder(width, height, screenFlags).image(s).finish();
}

// Decodes in a child process, so that its peak memory is this picture's alone.
void measure(const Case& c) {
    const Bytes bytes = c.make();
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return;
    pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        auto start = std::chrono::steady_clock::now();
        std::string outcome = "decoded";
        try {
            img_lib::loadImage(bytes.data(), static_cast<int>(bytes.size()), c.type, c.name)->freeImage();
        } catch (img_lib::ImageException& e) {
            outcome = e.messageText();
        }
        double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        char line[512];
        int n = std::snprintf(line, sizeof line, "%-44s %8zu bytes %9.1f ms %7.1f MB peak  %s\n", c.name, bytes.size(),
                              ms, usage.ru_maxrss / 1024.0, outcome.c_str());
        if (write(pipeFds[1], line, static_cast<size_t>(n)) < 0) _exit(1);
        _exit(0);
    }
    close(pipeFds[1]);
    char buffer[512];
    ssize_t n = read(pipeFds[0], buffer, sizeof buffer - 1);
    close(pipeFds[0]);
    waitpid(child, nullptr, 0);
    if (n > 0) {
        buffer[n] = 0;
        std::fputs(buffer, stdout);
    }
}

}  // namespace

int main() {
    using namespace jpeg_samples;
    const Case cases[] = {
        {"JPEG progressive claiming 11585x11585", img_lib::IMAGE_JPEG,
         [] { return claiming(encode(photoLike(16, 16), progressive444()), 11585, 11585); }},
        {"JPEG 569 scans claiming 11585x11585", img_lib::IMAGE_JPEG,
         [] { return claiming(encodeManyScans(16, 16), 11585, 11585); }},
        {"JPEG 569 scans claiming 6000x4000", img_lib::IMAGE_JPEG,
         [] { return claiming(encodeManyScans(16, 16), 6000, 4000); }},
        {"JPEG progressive claiming 6000x4000", img_lib::IMAGE_JPEG,
         [] { return claiming(encode(photoLike(16, 16), progressive444()), 6000, 4000); }},
        {"GIF screen 65535x4000", img_lib::IMAGE_GIF,
         [] { return giftest::GifBuilder(65535, 4000, 0x87).finish(); }},
        {"GIF 16384x16384 image without data", img_lib::IMAGE_GIF, [] { return gifImage(16384, 16384, 0x87, false); }},
        {"JPEG 6000x4000 baseline photo", img_lib::IMAGE_JPEG, [] { return encode(photoLike(6000, 4000)); }},
        {"JPEG 6000x4000 progressive photo 4:4:4", img_lib::IMAGE_JPEG,
         [] { return encode(photoLike(6000, 4000), progressive444()); }},
        {"GIF 4000x3000", img_lib::IMAGE_GIF, [] { return gifImage(4000, 3000, 0x87, true); }},
    };
    for (const Case& c : cases) measure(c);
    return 0;
}
