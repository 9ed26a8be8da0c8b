#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "imaging/ImageInfo.h"
#include "tests/imaging/GifTestKit.h"
#include "tests/kit/TempDir.h"

using namespace img_lib;
using namespace giftest;

namespace {

_Ref<_ImageInfo> decode(const Bytes& b) {
    return loadImage(b.data(), static_cast<int>(b.size()), IMAGE_GIF, "test.gif");
}

// "ok" or the message the decoder fails with.
std::string outcome(const Bytes& b) {
    try {
        _Ref<_ImageInfo> image = decode(b);
        image->freeImage();
        return "ok";
    } catch (ImageException& e) {
        return e.messageText();
    }
}

int bpp(const _ImageInfo& image) { return image.info->bmiHeader.biBitCount; }

size_t stride(const _ImageInfo& image) {
    return (static_cast<size_t>(image.width()) * bpp(image) + 31) / 32 * 4;
}

// The colour index at screen position (x, y), y = 0 at the top.
int pixel(const _ImageInfo& image, int x, int y) {
    const uint8_t* row = image.bits + static_cast<size_t>(image.height() - 1 - y) * stride(image);
    switch (bpp(image)) {
        case 8: return row[x];
        case 4: return x & 1 ? row[x / 2] & 15 : row[x / 2] >> 4;
        default: return row[x / 8] >> (7 - x % 8) & 1;
    }
}

std::vector<int> screenRow(const _ImageInfo& image, int y) {
    std::vector<int> out;
    for (int x = 0; x < image.width(); ++x) out.push_back(pixel(image, x, y));
    return out;
}

std::vector<int> allPixels(const _ImageInfo& image) {
    std::vector<int> out;
    for (int y = 0; y < image.height(); ++y) {
        std::vector<int> r = screenRow(image, y);
        out.insert(out.end(), r.begin(), r.end());
    }
    return out;
}

std::vector<int> ints(const Bytes& b) { return std::vector<int>(b.begin(), b.end()); }

Bytes noise(size_t n, int colours, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& v : b) v = static_cast<uint8_t>(rng() % static_cast<unsigned>(colours));
    return b;
}

// A one-image GIF on an 8-bit screen of the image's size.
Bytes singleImage(uint16_t w, uint16_t h, const Bytes& data) {
    ImageSetup s;
    s.width = w;
    s.height = h;
    s.data = &data;
    return GifBuilder(w, h, 0x87).image(s).finish();
}

Bytes raw(std::initializer_list<int> values) {
    Bytes b;
    for (int v : values) b.push_back(static_cast<uint8_t>(v));
    return b;
}

// ---------------------------------------------------------------- header and tables

TEST(GifHeader, RefusesOtherSignaturesAndVersions) {
    struct Case {
        Bytes input;
        const char* message;
    } cases[] = {
        {raw({}), "No GIF file"},
        {raw({'G', 'I'}), "No GIF file"},
        {raw({'G', 'I', 'X', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0}), "No GIF file"},
        {raw({'G', 'I', 'F', '8'}), "EOF not yet expected"},
        {raw({'G', 'I', 'F', '8', '8', 'a', 1, 0, 1, 0, 0x80, 0, 0}), "Unknown GIF-Version: 88a"},
        {raw({'G', 'I', 'F', '9', '0', 'b'}), "Unknown GIF-Version: 90b"},
        // Bytes that are not printable are shown escaped; a zero does not end the text.
        {raw({'G', 'I', 'F', '8', 0, 'a'}), "Unknown GIF-Version: 8\\x00a"},
        {raw({'G', 'I', 'F', 0xFF, '\\', '\n'}), "Unknown GIF-Version: \\xFF\\x5C\\x0A"},
    };
    for (const Case& c : cases) EXPECT_EQ(outcome(c.input), c.message) << c.input.size() << " bytes";
}

TEST(GifHeader, AcceptsVersions87aAnd89a) {
    for (const char* version : {"87a", "89a"}) {
        Bytes gif = GifBuilder(1, 1, 0x80, version).finish();
        EXPECT_EQ(outcome(gif), "ok") << version;
    }
}

TEST(GifHeader, ScreenFlagsChooseTheDepth) {
    struct Case {
        uint8_t flags;
        int bpp;
        uint32_t clrUsed;
    } cases[] = {{0x80, 1, 2}, {0x81, 4, 16}, {0x83, 4, 16}, {0x84, 8, 256}, {0x87, 8, 256}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        _Ref<_ImageInfo> image = decode(GifBuilder(13, 3, c.flags).finish());
        const BITMAPINFOHEADER& h = image->info->bmiHeader;
        size_t rowBytes = (13 * static_cast<size_t>(c.bpp) + 31) / 32 * 4;
        EXPECT_EQ(h.biSize, 40u);
        EXPECT_EQ(h.biWidth, 13);
        EXPECT_EQ(h.biHeight, 3);  // positive: bottom-up rows
        EXPECT_EQ(h.biPlanes, 1);
        EXPECT_EQ(h.biBitCount, c.bpp);
        EXPECT_EQ(h.biCompression, BI_RGB);
        EXPECT_EQ(h.biSizeImage, rowBytes * 3);
        EXPECT_EQ(h.biXPelsPerMeter, 2953);
        EXPECT_EQ(h.biYPelsPerMeter, 2953);
        EXPECT_EQ(h.biClrUsed, c.clrUsed);
        EXPECT_EQ(h.biClrImportant, 2u << (c.flags & 7));
        EXPECT_EQ(image->bits, reinterpret_cast<uint8_t*>(image->info) + 40 + 4 * c.clrUsed);
        EXPECT_EQ(image->infoBytes, rowBytes * 3 + 1064);
        EXPECT_EQ(image->bitsBytes, rowBytes * 3 + 1064 - 40 - 4 * c.clrUsed);
        uint8_t rgb[3];
        colourOf(0, 1, rgb);
        const RGBQUAD& q = image->info->bmiColors[1];
        EXPECT_EQ((std::vector<int>{q.rgbRed, q.rgbGreen, q.rgbBlue, q.rgbReserved}),
                  (std::vector<int>{rgb[0], rgb[1], rgb[2], 0}));
        EXPECT_EQ(allPixels(*image), std::vector<int>(39, 0));
        image->freeImage();
    }
}

TEST(GifColourTables, LocalTableAloneDecodes) {
    ImageSetup s;
    s.width = 2;
    s.height = 1;
    s.flags = 0x81;  // local table of 4 entries
    s.indices = raw({3, 1});
    _Ref<_ImageInfo> image = decode(GifBuilder(2, 1, 0x01).image(s).finish());
    EXPECT_EQ(bpp(*image), 4);
    EXPECT_EQ(image->info->bmiHeader.biClrImportant, 4u);
    EXPECT_EQ(screenRow(*image, 0), (std::vector<int>{3, 1}));
    uint8_t rgb[3];
    colourOf(1, 3, rgb);
    EXPECT_EQ(image->info->bmiColors[3].rgbRed, rgb[0]);
    EXPECT_EQ(image->info->bmiColors[4].rgbRed, 0);  // no table reaches it
}

TEST(GifColourTables, ImageWithoutAnyTableFails) {
    ImageSetup s;
    s.width = 1;
    s.height = 1;
    s.indices = raw({0});
    EXPECT_EQ(outcome(GifBuilder(1, 1, 0x01).image(s).finish()), "Color table missing");
}

TEST(GifColourTables, LocalTableMustFitTheDepth) {
    ImageSetup s;
    s.width = 1;
    s.height = 1;
    s.indices = raw({0});
    s.flags = 0x84;  // 32 entries on a 4-bit screen
    EXPECT_EQ(outcome(GifBuilder(1, 1, 0x83).image(s).finish()), "Invalid color information in image descriptor");
    s.flags = 0x83;  // 16 entries fit
    EXPECT_EQ(outcome(GifBuilder(1, 1, 0x83).image(s).finish()), "ok");
    s.flags = 0x81;  // 4 entries on a 1-bit screen
    EXPECT_EQ(outcome(GifBuilder(1, 1, 0x80).image(s).finish()), "Invalid color information in image descriptor");
}

TEST(GifColourTables, LaterLocalTableRecoloursEarlierImages) {
    ImageSetup first;
    first.width = 2;
    first.height = 1;
    first.indices = raw({1, 2});
    ImageSetup second;
    second.left = 2;
    second.width = 2;
    second.height = 1;
    second.flags = 0x81;
    second.indices = raw({2, 3});
    _Ref<_ImageInfo> image = decode(GifBuilder(4, 1, 0x87).image(first).image(second).finish());
    EXPECT_EQ(screenRow(*image, 0), (std::vector<int>{1, 2, 2, 3}));
    EXPECT_EQ(image->info->bmiHeader.biClrImportant, 4u);
    uint8_t local[3], global[3];
    colourOf(1, 1, local);
    colourOf(0, 4, global);
    EXPECT_EQ(image->info->bmiColors[1].rgbRed, local[0]);   // the first image's pixel changes colour
    EXPECT_EQ(image->info->bmiColors[4].rgbRed, global[0]);  // beyond the local table: global
}

// ---------------------------------------------------------------- placement

TEST(GifPlacement, LeftEdgeMovesDownToAByteBoundary) {
    struct Case {
        uint8_t screenFlags;
        uint16_t left;
        std::vector<int> row;
    } cases[] = {
        {0x83, 3, {0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0}},  // 4 bits: from x = 2
        {0x80, 5, {1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},  // 1 bit: from x = 0
        {0x87, 3, {0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0}},  // 8 bits: where it says
        {0x80, 9, {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0}},  // 1 bit: from x = 8
    };
    for (const Case& c : cases) {
        ImageSetup s;
        s.left = c.left;
        s.width = 2;
        s.height = 1;
        s.indices = raw({1, 1});
        _Ref<_ImageInfo> image = decode(GifBuilder(12, 1, c.screenFlags).image(s).finish());
        EXPECT_EQ(screenRow(*image, 0), c.row) << int(c.screenFlags) << " left " << c.left;
    }
}

TEST(GifPlacement, ImagesAreCutAtTheRightAndBottomEdges) {
    ImageSetup s;
    s.left = 2;
    s.top = 1;
    s.width = 3;
    s.height = 3;
    s.indices = raw({1, 2, 3, 4, 5, 6, 7, 8, 9});
    s.minCodeSize = 4;
    _Ref<_ImageInfo> image = decode(GifBuilder(4, 3, 0x87).image(s).finish());
    EXPECT_EQ(allPixels(*image), (std::vector<int>{0, 0, 0, 0,  //
                                                   0, 0, 1, 2,  //
                                                   0, 0, 4, 5}));
}

TEST(GifPlacement, ImageBeyondAnEdgeIsDecodedButNotDrawn) {
    for (auto [left, top] : {std::pair<uint16_t, uint16_t>{4, 0}, {0, 3}, {9, 9}}) {
        ImageSetup s;
        s.left = left;
        s.top = top;
        s.width = 2;
        s.height = 2;
        s.indices = raw({1, 2, 3, 4});
        _Ref<_ImageInfo> image = decode(GifBuilder(4, 3, 0x87).image(s).finish());
        EXPECT_EQ(allPixels(*image), std::vector<int>(12, 0));
        // Its data is still decoded: a broken stream fails.
        Bytes bad = imageData(2, packCodes({{4, 3}, {7, 3}}));
        s.data = &bad;
        EXPECT_EQ(outcome(GifBuilder(4, 3, 0x87).image(s).finish()), "Invalid LZW-Code 7!");
    }
}

TEST(GifPlacement, PartialBytesClearTheirOtherPixels) {
    // An odd-width image at 4 bits writes index 0 into the pixel to its right.
    ImageSetup wide;
    wide.width = 4;
    wide.height = 1;
    wide.indices = raw({1, 2, 3, 4});
    ImageSetup narrow;
    narrow.width = 1;
    narrow.height = 1;
    narrow.indices = raw({5});
    wide.minCodeSize = narrow.minCodeSize = 3;
    _Ref<_ImageInfo> image = decode(GifBuilder(4, 1, 0x83).image(wide).image(narrow).finish());
    EXPECT_EQ(screenRow(*image, 0), (std::vector<int>{5, 0, 3, 4}));
}

TEST(GifPlacement, IndicesWiderThanTheDepthSpillIntoNeighbours) {
    ImageSetup s;
    s.width = 2;
    s.height = 1;
    s.indices = raw({1, 0x13});
    s.minCodeSize = 5;
    _Ref<_ImageInfo> image = decode(GifBuilder(2, 1, 0x83).image(s).finish());
    EXPECT_EQ(screenRow(*image, 0), (std::vector<int>{1, 3}));  // (1 << 4) | 0x13
    s.indices = raw({0, 2, 0});
    s.width = 3;
    s.minCodeSize = 2;
    image = decode(GifBuilder(3, 1, 0x80).image(s).finish());
    EXPECT_EQ(screenRow(*image, 0), (std::vector<int>{1, 0, 0}));  // 2 << 6 sets bit 7
}

TEST(GifPlacement, InterlacedRowsAreDrawnInNaturalOrder) {
    Bytes natural;
    for (int r = 0; r < 10; ++r) natural.insert(natural.end(), {uint8_t(r + 1), uint8_t(r + 20)});
    ImageSetup s;
    s.width = 2;
    s.height = 10;
    s.flags = 0x40;
    s.minCodeSize = 5;
    s.indices = interlace(natural, 2, 10);
    // The stream holds rows 0, 8, 4, 2, 6, 1, 3, 5, 7, 9.
    EXPECT_EQ(ints(Bytes(s.indices.begin(), s.indices.begin() + 6)), (std::vector<int>{1, 20, 9, 28, 5, 24}));
    _Ref<_ImageInfo> image = decode(GifBuilder(2, 10, 0x87).image(s).finish());
    EXPECT_EQ(allPixels(*image), ints(natural));
    // Cut at the bottom edge, the visible rows are still the right ones.
    s.top = 4;
    image = decode(GifBuilder(2, 10, 0x87).image(s).finish());
    std::vector<int> expected(8, 0);
    expected.insert(expected.end(), natural.begin(), natural.begin() + 12);
    EXPECT_EQ(allPixels(*image), expected);
}

TEST(GifPlacement, ImagesCoveringTheScreenMatchTheSameImagesPlaced) {
    // An 8-bit image that covers its screen is decoded into the rows themselves; on a
    // screen one column wider it is drawn from its indices. Whole, short and broken
    // streams come out alike either way.
    const std::pair<uint16_t, uint16_t> sizes[] = {{1, 1}, {3, 7}, {2, 10}, {17, 5}, {64, 9}, {301, 50}, {4099, 3}};
    unsigned seed = 7;
    for (auto [w, h] : sizes) {
        for (uint8_t flags : {0x00, 0x40}) {
            const Bytes natural = noise(size_t(w) * h, 256, seed++);
            const Bytes stream = flags ? interlace(natural, w, h) : natural;
            const Bytes whole = lzwEncode(stream, 8);
            const Bytes datas[] = {
                imageData(8, whole),
                imageData(8, lzwEncode(Bytes(stream.begin(), stream.begin() + long(stream.size() / 2)), 8)),
                imageData(8, Bytes(whole.begin(), whole.begin() + long(whole.size() / 2))),
                imageData(8, noise(40, 256, seed++)),
            };
            for (const Bytes& data : datas) {
                SCOPED_TRACE(testing::Message() << w << "x" << h << " flags " << int(flags) << " data " << &data - datas);
                ImageSetup s;
                s.width = w;
                s.height = h;
                s.flags = flags;
                s.data = &data;
                const Bytes covering = GifBuilder(w, h, 0x87).image(s).finish();
                const Bytes placed = GifBuilder(uint16_t(w + 1), h, 0x87).image(s).finish();
                const std::string result = outcome(covering);
                ASSERT_EQ(result, outcome(placed));
                if (result != "ok") continue;
                _Ref<_ImageInfo> a = decode(covering);
                _Ref<_ImageInfo> b = decode(placed);
                for (int y = 0; y < h; ++y) {
                    std::vector<int> wider = screenRow(*b, y);
                    wider.pop_back();
                    ASSERT_EQ(screenRow(*a, y), wider) << "row " << y;
                }
                if (&data == datas) {
                    EXPECT_EQ(allPixels(*a), ints(natural));
                }
            }
        }
    }
}

// ---------------------------------------------------------------- LZW data

TEST(GifLzw, RoundTripsEncodedStreams) {
    struct Case {
        uint16_t width, height;
        int minCodeSize;
        int colours;
        size_t chunk;
        bool clearWhenFull;
    } cases[] = {
        {1, 1, 2, 2, 255, true},      {17, 5, 2, 4, 1, true},          {64, 64, 8, 256, 255, true},
        {200, 150, 8, 256, 7, false},  // a full table keeps 12-bit codes without a clear
        {300, 200, 4, 3, 255, true},   {97, 61, 7, 128, 200, true},   {120, 80, 11, 256, 255, true},
        {256, 256, 3, 1, 255, true},   // one colour: long runs of the just-defined code
        {1000, 1000, 2, 1, 255, true},  // a million indices from 2 KB: the buffer grows
    };
    unsigned seed = 1;
    for (const Case& c : cases) {
        Bytes indices = noise(size_t(c.width) * c.height, c.colours, seed++);
        if (c.colours == 128) {
            for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint8_t>((i / 7) % 128);
        }
        LzwOptions options;
        options.clearWhenFull = c.clearWhenFull;
        Bytes data = imageData(c.minCodeSize, lzwEncode(indices, c.minCodeSize, options), c.chunk);
        _Ref<_ImageInfo> image = decode(singleImage(c.width, c.height, data));
        EXPECT_EQ(allPixels(*image), ints(indices)) << c.width << "x" << c.height << " min " << c.minCodeSize;
    }
}

TEST(GifLzw, CodesWidenTo10BitsWhenEntry512IsNext) {
    // Minimum code size 8: after the clear, 255 roots fill entries 258 to 511; the 256th
    // code is read with 10 bits.
    std::vector<std::pair<uint32_t, int>> codes{{256, 9}};
    Bytes expected;
    for (uint32_t i = 0; i < 255; ++i) {
        codes.push_back({i, 9});
        expected.push_back(static_cast<uint8_t>(i));
    }
    codes.push_back({511, 10});  // entry 511: roots 253 and 254
    expected.insert(expected.end(), {253, 254});
    codes.push_back({257, 10});
    Bytes data = imageData(8, packCodes(codes));
    _Ref<_ImageInfo> image = decode(singleImage(257, 1, data));
    EXPECT_EQ(allPixels(*image), ints(expected));
}

TEST(GifLzw, MinimumCodeSize1KeepsTwoBitCodesUntilEntry8) {
    // Clear 2, end 3: the width follows the code mask rule and stays 2 bits while the
    // table grows from entry 4 to 7.
    Bytes data = imageData(1, packCodes({{2, 2}, {0, 2}, {1, 2}, {1, 2}, {0, 2}, {3, 2}}));
    ImageSetup s;
    s.width = 4;
    s.height = 1;
    s.data = &data;
    _Ref<_ImageInfo> image = decode(GifBuilder(4, 1, 0x81).image(s).finish());
    EXPECT_EQ(screenRow(*image, 0), (std::vector<int>{0, 1, 1, 0}));
}

TEST(GifLzw, EndCodeBeforeAllPixelsLeavesIndexZero) {
    Bytes data = imageData(2, packCodes({{4, 3}, {3, 3}, {2, 3}, {5, 3}}));
    _Ref<_ImageInfo> image = decode(singleImage(2, 2, data));
    EXPECT_EQ(allPixels(*image), (std::vector<int>{3, 2, 0, 0}));
    // A later image's missing pixels are 0 too, not what the first image decoded.
    Bytes full = imageData(2, lzwEncode(raw({1, 2, 3, 1}), 2));
    Bytes empty = imageData(2, packCodes({{4, 3}, {5, 3}}));
    ImageSetup a, b;
    a.width = b.width = 2;
    a.height = b.height = 2;
    a.data = &full;
    b.data = &empty;
    image = decode(GifBuilder(2, 2, 0x87).image(a).image(b).finish());
    EXPECT_EQ(allPixels(*image), std::vector<int>(4, 0));
    // A large image, plain and interlaced, whose three indices end mid-row.
    for (uint8_t flags : {0x00, 0x40}) {
        ImageSetup big;
        big.width = 3000;
        big.height = 2000;
        big.flags = flags;
        big.data = &data;
        image = decode(GifBuilder(3000, 2000, 0x87).image(a).image(big).finish());
        EXPECT_EQ(pixel(*image, 0, 0), 3);
        EXPECT_EQ(pixel(*image, 1, 0), 2);
        EXPECT_EQ(pixel(*image, 2, 0), 0);
        EXPECT_EQ(pixel(*image, 1, 1), 0);  // the first image's pixel is overwritten
        EXPECT_EQ(pixel(*image, 2999, 1999), 0);
    }
}

TEST(GifLzw, StreamWithoutEndCodeMustFillTheImage) {
    LzwOptions noEnd;
    noEnd.endCode = false;
    Bytes exact = imageData(2, lzwEncode(raw({1, 2, 3, 0}), 2, noEnd));
    EXPECT_EQ(outcome(singleImage(2, 2, exact)), "ok");
    // Four indices (the last from the padding bits) for six pixels.
    Bytes shortData = imageData(2, lzwEncode(raw({1, 2, 3}), 2, noEnd));
    EXPECT_EQ(outcome(singleImage(3, 2, shortData)), "Error in LZW part of image");
}

TEST(GifLzw, StreamDecodingToMoreThanTheImageFails) {
    Bytes tooMuch = imageData(2, lzwEncode(raw({1, 2, 3, 0, 1}), 2));
    EXPECT_EQ(outcome(singleImage(2, 2, tooMuch)), "Error in LZW part of image");
    Bytes onePixel = imageData(2, packCodes({{4, 3}, {1, 3}, {5, 3}}));
    EXPECT_EQ(outcome(singleImage(0, 0, onePixel)), "Error in LZW part of image");
    Bytes nothing = imageData(2, packCodes({{4, 3}, {5, 3}}));
    EXPECT_EQ(outcome(singleImage(0, 0, nothing)), "ok");
}

TEST(GifLzw, RefusesBrokenCodes) {
    struct Case {
        int minCodeSize;
        std::vector<std::pair<uint32_t, int>> codes;
        const char* message;
    } cases[] = {
        {2, {{4, 3}, {7, 3}}, "Invalid LZW-Code 7!"},          // above the next free entry 6
        {2, {{4, 3}, {1, 3}, {7, 3}}, "Invalid LZW-Code 7!"},  // still above it: 6 is next
        {12, {{0, 8}}, "Error in LZW part of image"},           // clear code would be 4096
        // First code 6 names the entry about to be defined (empty: index 0); the next code
        // then defines 6 with itself as prefix, and using it loops.
        {2, {{4, 3}, {6, 3}, {0, 3}, {6, 3}}, "Error in LZW part of image"},
    };
    for (const Case& c : cases) {
        Bytes data = imageData(c.minCodeSize, packCodes(c.codes));
        EXPECT_EQ(outcome(singleImage(64, 64, data)), c.message) << c.minCodeSize << " " << c.codes.size();
    }
    Bytes largest = imageData(11, lzwEncode(raw({1, 2, 3, 4}), 11));
    EXPECT_EQ(outcome(singleImage(2, 2, largest)), "ok");
}

TEST(GifLzw, UndefinedEntriesKeepWhatEarlierImagesLeft) {
    // Image 1 (minimum code size 8) makes entry 6 the root 6; image 2 (minimum code size
    // 2) starts with code 6, the entry about to be defined, and so shows index 6.
    Bytes first = imageData(8, lzwEncode(raw({9}), 8));
    Bytes second = imageData(2, packCodes({{4, 3}, {6, 3}, {5, 3}}));
    ImageSetup a, b;
    a.width = b.width = 1;
    a.height = b.height = 1;
    a.data = &first;
    b.data = &second;
    _Ref<_ImageInfo> image = decode(GifBuilder(1, 1, 0x87).image(a).image(b).finish());
    EXPECT_EQ(pixel(*image, 0, 0), 6);
    // Each decoding starts with empty tables, whatever decodings came before.
    image = decode(GifBuilder(1, 1, 0x87).image(b).finish());
    EXPECT_EQ(pixel(*image, 0, 0), 0);
    // Entry 6 of image 1 has no prefix: a chain through it ends the image.
    Bytes chain = imageData(2, packCodes({{4, 3}, {6, 3}, {6, 3}, {5, 3}}));
    b.width = 4;
    b.data = &chain;
    EXPECT_EQ(outcome(GifBuilder(4, 1, 0x87).image(a).image(b).finish()), "Error in LZW part of image");
}

// ---------------------------------------------------------------- blocks

TEST(GifBlocks, StrayZerosAndExtensionsAreSkipped) {
    ImageSetup s;
    s.width = 1;
    s.height = 1;
    s.indices = raw({1});
    Bytes gif = GifBuilder(1, 1, 0x80)
                    .raw({0, 0})
                    .extension()
                    .raw({0x21, 0xFE, 3, 'a', 'b', 'c', 2, 'd', 'e', 0})  // comment in two sub-blocks
                    .image(s)
                    .raw({0})
                    .finish();
    _Ref<_ImageInfo> image = decode(gif);
    EXPECT_EQ(pixel(*image, 0, 0), 1);
}

TEST(GifBlocks, NoImagesGiveABlankScreen) {
    _Ref<_ImageInfo> image = decode(GifBuilder(3, 2, 0x81).extension().finish());
    EXPECT_EQ(allPixels(*image), std::vector<int>(6, 0));
}

TEST(GifBlocks, RefusesBrokenBlockStructure) {
    ImageSetup s;
    s.width = 2;
    s.height = 1;
    s.indices = raw({1, 0});
    Bytes good = GifBuilder(2, 1, 0x80).image(s).finish();
    Bytes noTrailer(good.begin(), good.end() - 1);
    Bytes extensionCut = GifBuilder(2, 1, 0x80).raw({0x21, 0xFE, 5, 'a'}).sofar();
    Bytes unknown = GifBuilder(2, 1, 0x80).raw({0x2D}).finish();
    // A sub-block announcing 9 bytes with 3 left.
    Bytes shortBlock = GifBuilder(2, 1, 0x80).raw({0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 2, 9, 0x84, 0x5d, 0}).sofar();
    struct Case {
        const Bytes* input;
        const char* message;
    } cases[] = {
        {&noTrailer, "EOF not yet expected"},
        {&extensionCut, "EOF not yet expected"},
        {&unknown, "Invalid GIF block!"},
        {&shortBlock, "Error in reading loop"},
    };
    for (const Case& c : cases) EXPECT_EQ(outcome(*c.input), c.message) << c.message;
}

TEST(GifBlocks, BytesAfterTheEndCodeAreReadAsIntroducers) {
    // The sub-block holds the codes (clear, 1, 0, end) in two bytes and then `tail`.
    Bytes codes = packCodes({{4, 3}, {1, 3}, {0, 3}, {5, 3}});
    struct Case {
        Bytes tail;
        const char* result;
    } cases[] = {
        {raw({0, 0}), "ok"},
        {raw({0x55}), "Invalid GIF block!"},
        {raw({0x3B}), "ok"},  // read as the trailer
        {raw({0x21, 0xFE}), "ok"},
    };
    for (const Case& c : cases) {
        Bytes block = codes;
        block.insert(block.end(), c.tail.begin(), c.tail.end());
        Bytes data = imageData(2, block);
        ImageSetup s;
        s.width = 2;
        s.height = 1;
        s.data = &data;
        EXPECT_EQ(outcome(GifBuilder(2, 1, 0x80).image(s).finish()), c.result) << int(c.tail[0]);
    }
}

TEST(GifBlocks, FilesEndingInsideHeadersFail) {
    ImageSetup s;
    s.width = 2;
    s.height = 1;
    s.flags = 0x80;
    s.indices = raw({1, 0});
    Bytes gif = GifBuilder(2, 1, 0x80).image(s).finish();
    // 6 signature, 7 screen, 6 global table, 1 introducer, 9 descriptor, 6 local table,
    // then the minimum code size at offset 35.
    ASSERT_EQ(gif[35], 2);
    for (size_t n = 3; n <= 35; ++n) {
        EXPECT_EQ(outcome(Bytes(gif.begin(), gif.begin() + static_cast<long>(n))), "EOF not yet expected") << n;
    }
    EXPECT_EQ(outcome(Bytes(gif.begin(), gif.begin() + 36)), "Error in LZW part of image");
    EXPECT_EQ(outcome(Bytes(gif.begin(), gif.begin() + 38)), "Error in reading loop");
}

TEST(GifBlocks, BombsAreRefusedWithinTheBudget) {
    ImageSetup huge;
    huge.width = 65535;
    huge.height = 65535;
    huge.indices = raw({0});
    ImageSetup large = huge;  // 100 million pixels: three of them are too much work
    large.width = large.height = 10000;
    ImageSetup photo = huge;
    photo.width = 4000;
    photo.height = 3000;
    // A stream of nothing but clear codes (2 bits each at minimum code size 1).
    const Bytes clears = imageData(1, Bytes(200, 0xAA));
    ImageSetup cleared;
    cleared.width = cleared.height = 1;
    cleared.data = &clears;
    struct Case {
        Bytes gif;
        const char* expected;
    } cases[] = {
        {GifBuilder(65535, 4000, 0x87).finish(), "picture too large: 65535\xC3\x97" "4000 needs 262 MB"},
        {GifBuilder(65535, 65535, 0x87).finish(), "picture too large: 65535\xC3\x97" "65535 needs 4.3 GB"},
        {GifBuilder(1, 1, 0x80).image(huge).finish(), "picture too large: 65535\xC3\x97" "65535 needs 8.6 GB"},
        {GifBuilder(1, 1, 0x80).image(large).image(large).image(large).finish(),
         "picture needs too much work: its images hold more than 268 million pixels"},
        {GifBuilder(1, 1, 0x80).image(cleared).finish(), "Error in LZW part of image"},
        {GifBuilder(4000, 3000, 0x87).image(photo).finish(), "ok"},
    };
    for (const Case& c : cases) EXPECT_EQ(outcome(c.gif), c.expected) << c.gif.size() << " bytes";
}

// ---------------------------------------------------------------- the record

TEST(GifRecord, OwnsOneBlockThatFreeImageGivesBack) {
    _Ref<_ImageInfo> image = decode(GifBuilder(5, 5, 0x83).finish());
    EXPECT_EQ(image->type, IMAGE_GIF);
    EXPECT_STREQ(image->getName()->c_str(), "test.gif");
    EXPECT_EQ(image->bits, reinterpret_cast<uint8_t*>(image->info) + 40 + 4 * 16);
    image->freeImage();  // frees the block once; a second free would be caught by ASan
    EXPECT_EQ(image->bits, nullptr);
    EXPECT_EQ(image->info, nullptr);
    EXPECT_EQ(image->name.get(), nullptr);
}

TEST(GifRecord, MemoryPictureWithoutNameIsInMemImage) {
    Bytes gif = GifBuilder(1, 1, 0x80).finish();
    _Ref<_ImageInfo> image = loadImage(gif.data(), static_cast<int>(gif.size()), IMAGE_GIF, nullptr);
    EXPECT_STREQ(image->getName()->c_str(), "InMemImage");
    image->freeImage();
}

TEST(GifRecord, ReadsFiles) {
    TempDir dir;
    std::string good = dir.write("good.gif", GifBuilder(2, 2, 0x80).finish());
    std::string bad = dir.write("bad.gif", GifBuilder(2, 2, 0x80).raw({0x44}).finish());
    std::string empty = dir.write("empty.gif", Bytes{});
    _Ref<_ImageInfo> image = loadImage(good.c_str(), IMAGE_GIF);
    EXPECT_STREQ(image->getName()->c_str(), good.c_str());
    EXPECT_EQ(image->width(), 2);
    image->freeImage();
    auto fileOutcome = [](const std::string& path) -> std::string {
        try {
            loadImage(path.c_str(), IMAGE_GIF)->freeImage();
            return "ok";
        } catch (ImageException& e) {
            return e.messageText();
        }
    };
    EXPECT_EQ(fileOutcome(bad), "Invalid GIF block!");
    EXPECT_EQ(fileOutcome(empty), "No GIF file");
    EXPECT_EQ(fileOutcome(dir / "missing.gif"), "No GIF file");
}

}  // namespace
