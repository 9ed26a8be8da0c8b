// The pixel block pool and the decoders that draw from it: a reused block never shows
// what an earlier picture left in it, and the pool keeps no more than two blocks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "imaging/ImageInfo.h"
#include "imaging/PixelBlockPool.h"
#include "tests/imaging/GifTestKit.h"
#include "tests/imaging/JpegSamples.h"

using img_lib::_ImageInfo;
using torvik_lang::_Ref;
using Bytes = std::vector<uint8_t>;

namespace {

// Leaves the pool holding two large blocks filled with `value`, so that a decode
// draws its blocks from memory whose every byte is known.
void poisonPool(uint8_t value) {
    img_lib::releasePixelBlocks();
    void* blocks[2];
    size_t capacity[2];
    for (int i = 0; i < 2; ++i) {
        blocks[i] = img_lib::takePixelBlock(size_t(4) << 20, capacity[i]);
        ASSERT_NE(blocks[i], nullptr);
        std::memset(blocks[i], value, capacity[i]);
    }
    for (int i = 0; i < 2; ++i) img_lib::givePixelBlock(blocks[i], capacity[i]);
}

// The bytes after each row's pixels up to the next row are zero.
bool paddingIsZero(const _ImageInfo& image) {
    const BITMAPINFOHEADER& h = image.info->bmiHeader;
    const size_t used = (size_t(h.biWidth) * h.biBitCount + 7) / 8;
    const size_t stride = (size_t(h.biWidth) * h.biBitCount + 31) / 32 * 4;
    const size_t height = size_t(h.biHeight < 0 ? -int64_t(h.biHeight) : h.biHeight);  // JPEGs are top-down
    for (size_t y = 0; y < height; ++y) {
        for (size_t x = used; x < stride; ++x) {
            if (image.bits[y * stride + x] != 0) return false;
        }
    }
    return true;
}

// The record's header, colour table and rows, as far as the record says they reach.
Bytes decodeAll(const Bytes& file, img_lib::ImageType type) {
    _Ref<_ImageInfo> image = img_lib::loadImage(file.data(), static_cast<int>(file.size()), type, "pool");
    EXPECT_TRUE(paddingIsZero(*image));
    const uint8_t* info = reinterpret_cast<const uint8_t*>(image->info);
    Bytes all(info, info + (type == img_lib::IMAGE_GIF ? image->infoBytes : 44));
    all.insert(all.end(), image->bits, image->bits + image->bitsBytes);
    image->freeImage();
    return all;
}

Bytes gifOf(uint16_t sw, uint16_t sh, uint8_t screenFlags, giftest::ImageSetup s, bool cutShort = false) {
    giftest::GifBuilder gif(sw, sh, screenFlags);
    if (s.width == 0) return gif.finish();
    if (s.indices.empty()) {
        s.indices.resize(size_t(s.width) * s.height);
        for (size_t i = 0; i < s.indices.size(); ++i) s.indices[i] = static_cast<uint8_t>((i * 7 + 1) % (2u << (screenFlags & 7)));
    }
    if (!cutShort) return gif.image(s).finish();
    // The end code comes after half the pixels; the rest stay index 0.
    Bytes half(s.indices.begin(), s.indices.begin() + static_cast<long>(s.indices.size() / 2));
    Bytes data = giftest::imageData(s.minCodeSize, giftest::lzwEncode(half, s.minCodeSize));
    s.data = &data;
    return gif.image(s).finish();
}

giftest::ImageSetup at(uint16_t left, uint16_t top, uint16_t width, uint16_t height, int minCodeSize,
                       uint8_t flags = 0) {
    giftest::ImageSetup s;
    s.flags = flags;
    s.left = left;
    s.top = top;
    s.width = width;
    s.height = height;
    s.minCodeSize = minCodeSize;
    return s;
}

Bytes jpegOf(int width, int height, bool progressive = false) {
    jpeg_samples::Options options;
    options.progressive = progressive;
    return jpeg_samples::encode(jpeg_samples::photoLike(width, height), options);
}

}  // namespace

TEST(PixelBlockPool, ReusedBlocksNeverShowAnEarlierPicture) {
    struct Case {
        const char* name;
        img_lib::ImageType type;
        Bytes file;
        int percent = 100;  // the scale it will be drawn at
    };
    const Case cases[] = {
        {"JPEG with row padding", img_lib::IMAGE_JPEG, jpegOf(5, 9)},
        {"JPEG of odd width", img_lib::IMAGE_JPEG, jpegOf(301, 207)},
        {"JPEG of odd width drawn at half", img_lib::IMAGE_JPEG, jpegOf(301, 207), 50},
        {"progressive JPEG", img_lib::IMAGE_JPEG, jpegOf(303, 50, true)},
        {"CMYK JPEG", img_lib::IMAGE_JPEG, jpeg_samples::encode(jpeg_samples::blank(61, 13, jpeg_samples::Space::Cmyk))},
        {"GIF covering its 8-bit screen", img_lib::IMAGE_GIF, gifOf(301, 50, 0x87, at(0, 0, 301, 50, 8))},
        {"GIF image inside its screen", img_lib::IMAGE_GIF, gifOf(300, 200, 0x87, at(17, 9, 100, 60, 8))},
        {"GIF covering its 4-bit screen", img_lib::IMAGE_GIF, gifOf(33, 20, 0x83, at(0, 0, 33, 20, 4))},
        {"GIF at 1 bit, left 5", img_lib::IMAGE_GIF, gifOf(70, 30, 0x80, at(5, 3, 40, 20, 2))},
        {"GIF without an image", img_lib::IMAGE_GIF, gifOf(64, 64, 0x87, {})},
        {"GIF whose data ends early", img_lib::IMAGE_GIF, gifOf(120, 80, 0x87, at(0, 0, 120, 80, 8), true)},
        {"interlaced GIF of odd width ending early", img_lib::IMAGE_GIF,
         gifOf(123, 45, 0x87, at(0, 0, 123, 45, 8, 0x40), true)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        img_lib::DrawScaleScope scale(c.percent);
        // Whatever the blocks held before, the picture comes out the same.
        poisonPool(0xA5);
        const Bytes first = decodeAll(c.file, c.type);
        poisonPool(0x5A);
        const Bytes second = decodeAll(c.file, c.type);
        ASSERT_EQ(first.size(), second.size());
        EXPECT_TRUE(first == second);
    }
    // A GIF's pixels outside its image are index 0.
    poisonPool(0xFF);
    const Bytes inside = decodeAll(gifOf(300, 200, 0x87, at(17, 9, 100, 60, 8)), img_lib::IMAGE_GIF);
    const size_t rowsStart = 40 + 4 * 256;
    EXPECT_EQ(inside[rowsStart], 0);        // bottom left
    EXPECT_EQ(inside[inside.size() - 1], 0);  // top right
    img_lib::releasePixelBlocks();
}

TEST(PixelBlockPool, KeepsTheTwoLargestBlocksAndGivesThemBack) {
    img_lib::releasePixelBlocks();
    const size_t sizes[] = {img_lib::kPooledBlockBytes, 3 * img_lib::kPooledBlockBytes, 2 * img_lib::kPooledBlockBytes,
                            img_lib::kPooledBlockBytes / 2};
    void* blocks[4];
    size_t capacities[4];
    for (int i = 0; i < 4; ++i) {
        blocks[i] = img_lib::takePixelBlock(sizes[i], capacities[i]);
        ASSERT_NE(blocks[i], nullptr);
        EXPECT_EQ(capacities[i], sizes[i]);
    }
    for (int i = 0; i < 4; ++i) img_lib::givePixelBlock(blocks[i], capacities[i]);
    size_t bytes = 0;
    // The largest two were kept; the others went straight back.
    EXPECT_EQ(img_lib::keptPixelBlocks(&bytes), 2u);
    EXPECT_EQ(bytes, 5 * img_lib::kPooledBlockBytes);
    // A request takes the smallest kept block that holds it.
    size_t capacity = 0;
    void* block = img_lib::takePixelBlock(10, capacity);
    EXPECT_EQ(capacity, 2 * img_lib::kPooledBlockBytes);
    img_lib::givePixelBlock(block, capacity);
    img_lib::releasePixelBlocks();
    EXPECT_EQ(img_lib::keptPixelBlocks(), 0u);
}
