// Photos' orientation tags: found in either byte order, damaged ones read as "as
// stored", and the rows turned to match.
#include <gtest/gtest.h>

#include <string>

#include "imaging/ExifOrientation.h"
#include "tests/imaging/ExifTestKit.h"
#include "tests/imaging/JpegSamples.h"

using namespace img_lib;
using namespace exif_kit;

namespace {

const Bytes& plainJpeg() {
    static const Bytes b = jpeg_samples::encode(jpeg_samples::blank(8, 8, jpeg_samples::Space::Rgb));
    return b;
}

int orientationOf(const Bytes& tiffBytes) {
    const Bytes b = withExif(plainJpeg(), tiffBytes);
    return jpegOrientation(b.data(), b.size());
}

// A 3x2 record whose pixels are the letters "abc" over "def" (each in all three bytes).
_Ref<_ImageInfo> letters(bool topDown) {
    _Ref<_ImageInfo> image = new _ImageInfo();
    image->init("letters", IMAGE_JPEG);
    image->info = makeDibHeader(0);
    image->infoBytes = 44;
    image->bitsBytes = 2 * 12;
    image->bits = static_cast<unsigned char*>(torvik_lang::osAlloc(image->bitsBytes));
    const char* rows[2] = {"abc", "def"};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            for (int k = 0; k < 3; ++k) image->bits[(topDown ? y : 1 - y) * 12 + x * 3 + k] = uint8_t(rows[y][x]);
    image->info->bmiHeader.biWidth = 3;
    image->info->bmiHeader.biHeight = topDown ? -2 : 2;
    return image;
}

// The record's rows top-down as letters, separated by '/'.
std::string shown(const _ImageInfo& image) {
    const int w = image.width(), h = image.height();
    const bool topDown = image.info->bmiHeader.biHeight < 0;
    const int stride = (3 * w + 3) & ~3;
    std::string out;
    for (int y = 0; y < h; ++y) {
        if (y) out += '/';
        for (int x = 0; x < w; ++x) out += char(image.bits[(topDown ? y : h - 1 - y) * stride + 3 * x]);
    }
    return out;
}

}  // namespace

TEST(ExifOrientation, ReadsTheTagOrTakesDamageAsStored) {
    const struct {
        const char* what;
        Bytes tiffBytes;
        int expected;
    } cases[] = {
        {"little-endian 6", tiff(false, {{0x0100, 4, 1, 640}, {0x0112, 3, 1, 6}}), 6},
        {"big-endian 8", tiff(true, {{0x0112, 3, 1, 8}}), 8},
        {"value 9", tiff(false, {{0x0112, 3, 1, 9}}), 1},
        {"value 0", tiff(true, {{0x0112, 3, 1, 0}}), 1},
        {"a LONG instead of a SHORT", tiff(false, {{0x0112, 4, 1, 6}}), 1},
        {"two values", tiff(false, {{0x0112, 3, 2, 6}}), 1},
        {"IFD outside the segment", tiff(false, {{0x0112, 3, 1, 6}}, 4000), 1},
        {"IFD offset wraps", tiff(false, {{0x0112, 3, 1, 6}}, 0xFFFFFFFE), 1},
        {"bad byte order", Bytes{'X', 'X', 42, 0, 8, 0, 0, 0}, 1},
        {"cut after the header", Bytes{'I', 'I', 42, 0, 8, 0, 0, 0, 5, 0}, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(orientationOf(c.tiffBytes), c.expected) << c.what;

    // An entry count that runs past the segment, with a valid-looking entry in the
    // bytes after it: nothing outside the segment is read.
    Bytes cut = tiff(false, {{0x0112, 3, 1, 6}});
    Bytes spliced = withExif(plainJpeg(), Bytes(cut.begin(), cut.begin() + 10));
    spliced.insert(spliced.begin() + 2 + 4 + 6 + 10, cut.begin() + 10, cut.end());
    EXPECT_EQ(jpegOrientation(spliced.data(), spliced.size()), 1);

    EXPECT_EQ(jpegOrientation(plainJpeg().data(), plainJpeg().size()), 1) << "no segment";
    Bytes longSegment = withExif(plainJpeg(), tiff(false, {{0x0112, 3, 1, 6}}));
    longSegment[4] = 0x7F;  // a length beyond the file
    EXPECT_EQ(jpegOrientation(longSegment.data(), longSegment.size()), 1);
    EXPECT_EQ(jpegOrientation(longSegment.data(), 3), 1);
    EXPECT_EQ(jpegOrientation(nullptr, 0), 1);
}

TEST(ExifOrientation, TurnsTheRowsInEitherRowOrder) {
    const char* expected[9] = {"", "abc/def", "cba/fed", "fed/cba", "def/abc", "ad/be/cf", "da/eb/fc", "fc/eb/da",
                               "cf/be/ad"};
    for (bool topDown : {true, false}) {
        for (int o = 0; o <= 9; ++o) {
            _Ref<_ImageInfo> image = letters(topDown);
            orientPicture(*image, o);
            EXPECT_EQ(shown(*image), o >= 1 && o <= 8 ? expected[o] : "abc/def") << o << " top-down " << topDown;
            EXPECT_EQ(image->info->bmiHeader.biHeight < 0, topDown);
        }
    }
    // Records that do not own their rows as one block stay as they are.
    _Ref<_ImageInfo> gif = letters(true);
    gif->type = IMAGE_GIF;
    orientPicture(*gif, 6);
    EXPECT_EQ(shown(*gif), "abc/def");
    gif->type = IMAGE_JPEG;
}
