// Writes the JPEG adapter's test pictures into a folder, as the fuzzer's first corpus.
//
//   fuzz_jpeg_seeds FOLDER
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tests/imaging/ExifTestKit.h"
#include "tests/imaging/JpegSamples.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    std::filesystem::create_directories(argv[1]);
    std::vector<jpeg_samples::Sample> samples = jpeg_samples::seedSamples();
    // Photos with an orientation tag in either byte order.
    const jpeg_samples::Bytes photo = jpeg_samples::encode(jpeg_samples::photoLike(24, 16));
    samples.push_back({"exif-6", exif_kit::withExif(photo, exif_kit::tiff(false, {{0x0112, 3, 1, 6}}))});
    samples.push_back({"exif-7", exif_kit::withExif(photo, exif_kit::tiff(true, {{0x0112, 3, 1, 7}}))});
    for (const jpeg_samples::Sample& s : samples) {
        std::ofstream out(std::filesystem::path(argv[1]) / (s.name + ".jpg"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(s.bytes.data()), static_cast<std::streamsize>(s.bytes.size()));
    }
    return 0;
}
