// The PNG reader: every colour type comes out as blue, green, red rows padded to four
// bytes, transparency over black; damaged and oversized pictures are refused.
#include <gtest/gtest.h>

#include <functional>

#include <png.h>
#include <string>

#include "imaging/ImageInfo.h"
#include "tests/imaging/PngSamples.h"
#include "tests/kit/ImageOutcome.h"

using namespace img_lib;
using namespace png_samples;

namespace {

_Ref<_ImageInfo> decode(const Bytes& b) { return loadImage(b.data(), static_cast<int>(b.size()), IMAGE_PNG, "t.png"); }

std::string outcome(const Bytes& b) {
    return testkit::outcome([&] { decode(b); });
}

struct KindCase {
    const char* what;
    Picture picture;
    uint32_t bgr;  // the first pixel as blue, green, red bytes read as 0xBBGGRR
};

}  // namespace

TEST(PngReader, EveryColourTypeBecomesBgrOverBlack) {
    Picture interlaced = filled(9, 9, PNG_COLOR_TYPE_RGB, {10, 20, 30});
    interlaced.interlaced = true;
    const KindCase cases[] = {
        {"rgb", filled(5, 3, PNG_COLOR_TYPE_RGB, {10, 20, 30}), 0x1E140A},
        {"grey", filled(4, 2, PNG_COLOR_TYPE_GRAY, {77}), 0x4D4D4D},
        {"grey 16", filled(3, 2, PNG_COLOR_TYPE_GRAY, {0x12, 0x34}, 16), 0x121212},
        {"palette, opaque index", filled(6, 1, PNG_COLOR_TYPE_PALETTE, {2}), 0xFF0000},
        {"palette, half transparent", filled(6, 1, PNG_COLOR_TYPE_PALETTE, {1}), 0x008000},
        {"rgba half", filled(2, 2, PNG_COLOR_TYPE_RGB_ALPHA, {200, 100, 50, 128}), 0x1932 << 8 | 0x64},
        {"rgba clear", filled(2, 2, PNG_COLOR_TYPE_RGB_ALPHA, {200, 100, 50, 0}), 0},
        {"interlaced", interlaced, 0x1E140A},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.what);
        _Ref<_ImageInfo> image = decode(encode(c.picture));
        ASSERT_TRUE(image && image->bits);
        EXPECT_EQ(image->type, IMAGE_PNG);
        EXPECT_EQ(image->width(), c.picture.width);
        EXPECT_EQ(image->info->bmiHeader.biHeight, -c.picture.height);
        EXPECT_EQ(image->info->bmiHeader.biBitCount, 24);
        const uint32_t stride = (3 * static_cast<uint32_t>(c.picture.width) + 3) & ~3u;
        EXPECT_EQ(image->bitsBytes, stride * static_cast<uint32_t>(c.picture.height));
        // The last pixel of the last row equals the first: every row was written.
        const unsigned char* last = image->bits + stride * (c.picture.height - 1) + 3 * (c.picture.width - 1);
        for (const unsigned char* p : {static_cast<const unsigned char*>(image->bits), last}) {
            EXPECT_NEAR(p[0], (c.bgr >> 16) & 0xFF, 1);
            EXPECT_NEAR(p[1], (c.bgr >> 8) & 0xFF, 1);
            EXPECT_NEAR(p[2], c.bgr & 0xFF, 1);
        }
        image->freeImage();
    }
}

TEST(PngReader, RefusesDamagedAndOversizedPictures) {
    const Bytes good = encode(filled(4, 4, PNG_COLOR_TYPE_RGB, {1, 2, 3}));
    Bytes badCrc = good;
    badCrc[30] ^= 0xFF;
    Bytes truncated(good.begin(), good.end() - 20);
    const struct {
        const char* what;
        Bytes bytes;
        const char* message;
    } cases[] = {
        {"empty", {}, "PNG format error"},
        {"not a PNG", Bytes(64, 'x'), "PNG format error"},
        {"bad header CRC", badCrc, "PNG format error"},
        {"cut short", truncated, "PNG format error"},
        {"side beyond the limit", bomb(1u << 30, 1), "picture too large: 1073741824"},
        {"over the memory budget", bomb(30000, 30000), "picture too large: 30000"},
        {"zero width", bomb(0, 5), "PNG format error"},
    };
    for (const auto& c : cases) EXPECT_EQ(outcome(c.bytes).rfind(c.message, 0), 0u) << c.what << ": " << outcome(c.bytes);
    EXPECT_EQ(outcome(good), "loaded");
}

TEST(PngReader, FileThatCannotBeOpenedIsNamed) {
    EXPECT_EQ(testkit::outcome([] { loadImage("/nonexistent/x.png", IMAGE_PNG); }),
              "Can't open file '/nonexistent/x.png'");
}
