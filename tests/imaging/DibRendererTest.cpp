#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "imaging/DibFormat.h"
#include "imaging/DibRenderer.h"
#include "imaging/ImageInfo.h"
#include "tests/kit/PictureBytes.h"

using namespace img_lib;

namespace {

using testkit::appendLe;
using testkit::Bytes;
using testkit::dibHeader;
using testkit::words;
using testkit::operator+;

constexpr uint32_t kBack = 0x123456;  // what the canvas holds before a draw
constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;
constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000;

struct Dib {
    Bytes info;
    Bytes bits;
};

class Surface {
public:
    Surface(int width, int height, uint32_t fill = kBack) : pixels(static_cast<size_t>(width) * height, fill) {
        canvas.pixels = pixels.data();
        canvas.width = width;
        canvas.height = height;
        canvas.stride = width;
    }
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * canvas.width + x]; }
    bool draw(const Dib& dib, Rect target, const Rect* clip = nullptr) {
        return drawDib(canvas, target, reinterpret_cast<const BITMAPINFO*>(dib.info.data()),
                       static_cast<uint32_t>(dib.info.size()), dib.bits.data(), static_cast<uint32_t>(dib.bits.size()), clip);
    }
    // Draws at (0, 0) at the picture's own size.
    bool draw(const Dib& dib, int width, int height) { return draw(dib, Rect{0, 0, width, height}); }
    // Rows top to bottom.
    std::vector<std::vector<uint32_t>> rows() const {
        std::vector<std::vector<uint32_t>> out;
        for (int y = 0; y < canvas.height; ++y)
            out.emplace_back(pixels.begin() + y * canvas.width, pixels.begin() + (y + 1) * canvas.width);
        return out;
    }

    Canvas canvas;
    std::vector<uint32_t> pixels;
};

using Rows = std::vector<std::vector<uint32_t>>;

// ---------------------------------------------------------------- pixel formats

TEST(DibRenderer, OneBitWithOneColourDrawsIndexOneBlack) {
    Dib dib{dibHeader(3, 2, 1, BI_RGB, 1) + words({kRed}),
            {
                0xA0, 0, 0, 0,  // bottom row: 1 0 1, padded to 4 bytes
                0x40, 0, 0, 0,  // top row:    0 1 0
            }};
    Surface s(3, 2);
    ASSERT_TRUE(s.draw(dib, 3, 2));
    EXPECT_EQ(s.rows(), (Rows{{kRed, kBlack, kRed}, {kBlack, kRed, kBlack}}));
}

TEST(DibRenderer, FourBitShortTableDrawsMissingEntriesBlack) {
    Dib dib{dibHeader(3, 1, 4, BI_RGB, 3) + words({kRed, kGreen, kBlue}),
            {0x02, 0x50, 0, 0}};  // indexes 0 2 5; 5 lies past the 3-entry table
    Surface s(3, 1);
    ASSERT_TRUE(s.draw(dib, 3, 1));
    EXPECT_EQ(s.rows(), (Rows{{kRed, kBlue, kBlack}}));
}

TEST(DibRenderer, EightBitColourCountZeroMeansFullTable) {
    Bytes table(1024, 0);
    table[255 * 4 + 0] = 0x11;  // entry 255: blue
    table[255 * 4 + 1] = 0x22;  //            green
    table[255 * 4 + 2] = 0x33;  //            red
    table[1 * 4 + 2] = 0xFF;    // entry 1: red
    Dib dib{dibHeader(3, 1, 8) + table, {255, 1, 0, 0}};
    Surface s(3, 1);
    ASSERT_TRUE(s.draw(dib, 3, 1));
    EXPECT_EQ(s.rows(), (Rows{{0x332211, kRed, kBlack}}));
}

TEST(DibRenderer, EightBitColourCountAboveTwoFiftySixIsCut) {
    // 300 entries declared, 256 used: the table ends where 256 entries end.
    Bytes table(1024, 0);
    table[7 * 4 + 1] = 0xFF;  // entry 7: green
    Dib dib{dibHeader(1, 1, 8, BI_RGB, 300) + table, {7, 0, 0, 0}};
    Surface s(1, 1);
    ASSERT_TRUE(s.draw(dib, 1, 1));
    EXPECT_EQ(s.at(0, 0), kGreen);
}

TEST(DibRenderer, SixteenBitDefaultIs555WidenedByBitRepetition) {
    Bytes bits;
    appendLe(bits, 0x7FFF, 2);  // white
    appendLe(bits, 0x7C00, 2);  // red 31
    appendLe(bits, 0x0010, 2);  // blue 16: 10000 -> 10000100
    appendLe(bits, 0x8000, 2);  // only the unused top bit: black
    Dib dib{dibHeader(4, 1, 16), bits};
    Surface s(4, 1);
    ASSERT_TRUE(s.draw(dib, 4, 1));
    EXPECT_EQ(s.rows(), (Rows{{kWhite, kRed, 0x000084, kBlack}}));
}

TEST(DibRenderer, SixteenBit565FromMasksAfterHeader) {
    Bytes bits;
    appendLe(bits, 0x07E0, 2);  // green 63
    appendLe(bits, 0x0400, 2);  // green 32: 100000 -> 10000010
    appendLe(bits, 0xF81F, 2);  // red and blue
    bits.insert(bits.end(), {0, 0});  // padding to 8 bytes
    Dib dib{dibHeader(3, 1, 16, BI_BITFIELDS) + words({0xF800, 0x07E0, 0x001F}), bits};
    Surface s(3, 1);
    ASSERT_TRUE(s.draw(dib, 3, 1));
    EXPECT_EQ(s.rows(), (Rows{{kGreen, 0x008200, 0xFF00FF}}));
}

TEST(DibRenderer, TwentyFourBitRowsArePaddedAndBottomUp) {
    Dib dib{dibHeader(2, 2, 24),
            {
                0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0, 0,  // bottom: red, green, 2 bytes padding
                0xFF, 0x00, 0x00, 0x01, 0x02, 0x03, 0, 0,  // top: blue, 0x030201
            }};
    Surface s(2, 2);
    ASSERT_TRUE(s.draw(dib, 2, 2));
    EXPECT_EQ(s.rows(), (Rows{{kBlue, 0x030201}, {kRed, kGreen}}));
}

TEST(DibRenderer, ThirtyTwoBitIgnoresTheFourthByte) {
    Dib dib{dibHeader(2, 1, 32), {0x01, 0x02, 0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0x80}};
    Surface s(2, 1);
    ASSERT_TRUE(s.draw(dib, 2, 1));
    EXPECT_EQ(s.rows(), (Rows{{0x030201, kWhite}}));
}

TEST(DibRenderer, BitFieldsInAnyOrderAndWidth) {
    struct Case {
        const char* name;
        uint16_t bitCount;
        uint32_t r, g, b;
        uint32_t pixel;
        uint32_t expected;
    } cases[] = {
        {"x-b-g-r bytes", 32, 0xFF000000, 0x00FF0000, 0x0000FF00, 0x11223300, 0x112233},
        {"usual order", 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xAA112233, 0x112233},
        // 10 bits each, rounded to 8: 1023 -> 255, 512 -> 128, 7 -> 2.
        {"10-10-10", 32, 0x3FF00000, 0x000FFC00, 0x000003FF, (0x3FFu << 20) | (0x200u << 10) | 0x007, 0xFF8002},
        // 3 bits of green are repeated: 101 -> 10110110.
        {"8-3-8", 32, 0x00FF0000, 0x00000700, 0x000000FF, 0x00120534, 0x12B634},
        // 16 bits: red 100 -> 10010010, green 511 of 1023 -> 127, blue 101 -> 10110110.
        {"3-10-3", 16, 0xE000, 0x1FF8, 0x0007, 0x8FFD, 0x927FB6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bits;
        appendLe(bits, c.pixel, 4);
        Dib dib{dibHeader(1, 1, c.bitCount, BI_BITFIELDS) + words({c.r, c.g, c.b}), bits};
        Surface s(1, 1);
        ASSERT_TRUE(s.draw(dib, 1, 1));
        EXPECT_EQ(s.at(0, 0), c.expected);
    }
}

TEST(DibRenderer, NegativeHeightMeansTopDownRows) {
    Dib dib{dibHeader(1, -3, 8, BI_RGB, 3) + words({kRed, kGreen, kBlue}),
            {
                0, 0, 0, 0,  // top row
                1, 0, 0, 0,
                2, 0, 0, 0,  // bottom row
            }};
    Surface s(1, 3);
    ASSERT_TRUE(s.draw(dib, 1, 3));
    EXPECT_EQ(s.rows(), (Rows{{kRed}, {kGreen}, {kBlue}}));
}

TEST(DibRenderer, CoreHeaderWithTripleColourTable) {
    Dib dib{{
                12, 0, 0, 0,  // bcSize
                3, 0, 1, 0,   // bcWidth 3, bcHeight 1
                1, 0, 1, 0,   // bcPlanes 1, bcBitCount 1
                0x00, 0x00, 0xFF,  // RGBTRIPLE 0: red
                0xFF, 0x00, 0x00,  // RGBTRIPLE 1: blue
            },
            {0x60, 0, 0, 0}};  // 0 1 1
    Surface s(3, 1);
    ASSERT_TRUE(s.draw(dib, 3, 1));
    EXPECT_EQ(s.rows(), (Rows{{kRed, kBlue, kBlue}}));
}

// A header of `size` bytes: the 40-byte fields, then `fields` (masks at offset 40), then zeros.
Bytes largeHeader(uint32_t size, int32_t width, int32_t height, uint16_t bitCount, uint32_t compression,
                  const Bytes& fields, uint32_t clrUsed = 0) {
    Bytes b = dibHeader(width, height, bitCount, compression, clrUsed);
    b[0] = static_cast<uint8_t>(size);
    b = b + fields;
    b.resize(size, 0);
    return b;
}

TEST(DibRenderer, LargerHeadersPutTheTableAfterThemAndCarryTheirMasks) {
    struct Case {
        const char* name;
        Dib dib;
        uint32_t expected;
    } cases[] = {
        {"V4 palette", {largeHeader(108, 1, 1, 8, BI_RGB, {}, 2) + words({kRed, kGreen}), {1, 0, 0, 0}}, kGreen},
        {"V5 palette", {largeHeader(124, 1, 1, 8, BI_RGB, {}, 2) + words({kRed, kGreen}), {1, 0, 0, 0}}, kGreen},
        {"OS/2 2.x palette", {largeHeader(64, 1, 1, 8, BI_RGB, {}, 2) + words({kRed, kBlue}), {1, 0, 0, 0}}, kBlue},
        {"V4 bit fields", {largeHeader(108, 1, 1, 32, BI_BITFIELDS, words({0xFF, 0xFF00, 0xFF0000})), {1, 2, 3, 4}}, 0x010203},
        {"V5 bit fields", {largeHeader(124, 1, 1, 16, BI_BITFIELDS, words({0xF800, 0x07E0, 0x001F})), {0x00, 0xF8, 0, 0}}, kRed},
        {"52-byte bit fields", {largeHeader(52, 1, 1, 32, BI_BITFIELDS, words({0xFF, 0xFF00, 0xFF0000})), {1, 2, 3, 4}}, 0x010203},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Surface s(1, 1);
        ASSERT_TRUE(s.draw(c.dib, 1, 1));
        EXPECT_EQ(s.at(0, 0), c.expected);
    }
}

// ---------------------------------------------------------------- RLE

TEST(DibRenderer, Rle8RunsEndOfLineDeltaAndEndOfBitmap) {
    Bytes bits = {
        0x02, 0x01,              // bottom row: 2 x index 1
        0x00, 0x00,              // end of line
        0x00, 0x03, 2, 0, 1, 0,  // middle row: absolute 2 0 1, padded
        0x00, 0x02, 0x01, 0x01,  // delta: right 1, up 1 -> top row, column 4
        0x01, 0x02,              // top row, column 4: index 2
        0x00, 0x01,              // end of bitmap
        0x05, 0x00,              // after the end: never drawn
    };
    Dib dib{dibHeader(5, 3, 8, BI_RLE8, 3, static_cast<uint32_t>(bits.size())) + words({kRed, kGreen, kBlue}), bits};
    Surface s(5, 3);
    ASSERT_TRUE(s.draw(dib, 5, 3));
    EXPECT_EQ(s.rows(), (Rows{
                            {kBack, kBack, kBack, kBack, kBlue},     // only the pixel after the delta
                            {kBlue, kRed, kGreen, kBack, kBack},     // the delta skips the rest
                            {kGreen, kGreen, kBack, kBack, kBack},   // the line ends early
                        }));
}

TEST(DibRenderer, Rle4AlternatesNibblesAndPadsAbsoluteRuns) {
    Bytes bits = {
        0x05, 0x12,              // bottom row: 1 2 1 2 1
        0x00, 0x00,              // end of line
        0x00, 0x03, 0x21, 0x00,  // top row: absolute 2 1 0 (two bytes, already even)
        0x00, 0x02, 0x01, 0x00,  // delta right 1: column 4
        0x00, 0x03, 0x22, 0x20,  // absolute 2 2 2 from column 4: only one pixel fits
        0x00, 0x01,              // end of bitmap
    };
    Dib dib{dibHeader(5, 2, 4, BI_RLE4, 3, static_cast<uint32_t>(bits.size())) + words({kRed, kGreen, kBlue}), bits};
    Surface s(5, 2);
    ASSERT_TRUE(s.draw(dib, 5, 2));
    EXPECT_EQ(s.rows(), (Rows{
                            {kBlue, kGreen, kRed, kBack, kBlue},
                            {kGreen, kBlue, kGreen, kBlue, kGreen},
                        }));
}

TEST(DibRenderer, RleRunsDoNotWrapIntoTheNextRow) {
    Bytes bits = {
        0x06, 0x01,  // 6 pixels into a row of 3: 3 are dropped
        0x01, 0x02,  // still the bottom row, past its end
        0x00, 0x00,  // end of line
        0x01, 0x00,  // top row, column 0
    };  // the stream stops without an end of bitmap: what it set is drawn
    Dib dib{dibHeader(3, 2, 8, BI_RLE8, 3, 0) + words({kRed, kGreen, kBlue}), bits};
    Surface s(3, 2);
    ASSERT_TRUE(s.draw(dib, 3, 2));
    EXPECT_EQ(s.rows(), (Rows{{kRed, kBack, kBack}, {kGreen, kGreen, kGreen}}));
}

TEST(DibRenderer, RleScaledKeepsSkippedPixelsUntouched) {
    Bytes bits = {
        0x00, 0x02, 0x01, 0x00,  // delta right 1 in the bottom row
        0x01, 0x01,              // bottom row, column 1: index 1
        0x00, 0x01,
    };
    Dib dib{dibHeader(2, 2, 8, BI_RLE8, 2, static_cast<uint32_t>(bits.size())) + words({kRed, kGreen}), bits};
    Surface s(4, 4);
    ASSERT_TRUE(s.draw(dib, 4, 4));
    EXPECT_EQ(s.rows(), (Rows{
                            {kBack, kBack, kBack, kBack},
                            {kBack, kBack, kBack, kBack},
                            {kBack, kBack, kGreen, kGreen},
                            {kBack, kBack, kGreen, kGreen},
                        }));
}

// ---------------------------------------------------------------- scaling

// A 24-bit picture whose pixel (x, y) has the colour y << 12 | x.
Dib coordinatePicture(int width, int height) {
    int stride = (width * 3 + 3) / 4 * 4;
    Bytes bits(static_cast<size_t>(stride) * height, 0);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bits.data() + static_cast<size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            uint32_t c = static_cast<uint32_t>(y) << 12 | static_cast<uint32_t>(x);
            row[3 * x] = static_cast<uint8_t>(c);
            row[3 * x + 1] = static_cast<uint8_t>(c >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(c >> 16);
        }
    }
    return Dib{dibHeader(width, height, 24), bits};
}

uint32_t coordinate(int x, int y) { return static_cast<uint32_t>(y) << 12 | static_cast<uint32_t>(x); }

TEST(DibRenderer, DoublingRepeatsEveryPixel) {
    Surface s(4, 4);
    ASSERT_TRUE(s.draw(coordinatePicture(2, 2), 4, 4));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(s.at(x, y), coordinate(x / 2, y / 2)) << x << "," << y;
}

TEST(DibRenderer, HalvingKeepsTheFirstRowAndTheLastColumnOfEachPair) {
    Surface s(2, 2);
    ASSERT_TRUE(s.draw(coordinatePicture(4, 4), 2, 2));
    EXPECT_EQ(s.rows(), (Rows{{coordinate(1, 0), coordinate(3, 0)}, {coordinate(1, 2), coordinate(3, 2)}}));
}

TEST(DibRenderer, CentreOnASourceBoundaryTakesTheLowerPixel) {
    // 2 to 3: the middle target pixel's centre lies exactly between the two sources.
    Surface s(3, 3);
    ASSERT_TRUE(s.draw(coordinatePicture(2, 2), 3, 3));
    EXPECT_EQ(s.rows(), (Rows{{coordinate(0, 0), coordinate(0, 0), coordinate(1, 0)},
                              {coordinate(0, 0), coordinate(0, 0), coordinate(1, 0)},
                              {coordinate(0, 1), coordinate(0, 1), coordinate(1, 1)}}));
}

TEST(DibRenderer, FourteenPercentOf400By300Is56By42) {
    Surface s(60, 50);
    ASSERT_TRUE(s.draw(coordinatePicture(400, 300), 400 * 14 / 100, 300 * 14 / 100));
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 60; ++x) {
            const int sx = (800 * (x + 1) + 56) / 112 - 1, sy = (600 * y + 42) / 84;
            ASSERT_EQ(s.at(x, y), x < 56 && y < 42 ? coordinate(sx, sy) : kBack) << x << "," << y;
        }
}

TEST(DibRenderer, IndexedAndMaskedPicturesScaleLikeTrueColour) {
    // 1, 4, 8 and 16 bits through the column table: 3 pixels stretched to 7 show
    // source columns 0 0 1 1 1 2 2.
    Bytes bits16;
    for (uint32_t v : {0x7C00u, 0x03E0u, 0x001Fu}) appendLe(bits16, v, 2);
    bits16.insert(bits16.end(), {0, 0});
    const Dib dibs[] = {
        {dibHeader(3, 1, 1, BI_RGB, 2) + words({kRed, kGreen}), {0x40, 0, 0, 0}},  // 0 1 0
        {dibHeader(3, 1, 4, BI_RGB, 3) + words({kRed, kGreen, kBlue}), {0x01, 0x20, 0, 0}},
        {dibHeader(3, 1, 8, BI_RGB, 3) + words({kRed, kGreen, kBlue}), {0, 1, 2, 0}},
        {dibHeader(3, 1, 16), bits16},
    };
    const std::vector<uint32_t> wide[] = {
        {kRed, kRed, kGreen, kGreen, kGreen, kRed, kRed},
        {kRed, kRed, kGreen, kGreen, kGreen, kBlue, kBlue},
        {kRed, kRed, kGreen, kGreen, kGreen, kBlue, kBlue},
        {kRed, kRed, kGreen, kGreen, kGreen, kBlue, kBlue},
    };
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        Surface s(7, 2);
        ASSERT_TRUE(s.draw(dibs[i], 7, 2));
        EXPECT_EQ(s.rows(), (Rows{wide[i], wide[i]}));
    }
}

TEST(DibRenderer, UnscaledPalettePicturesShowEveryIndexAtAnyClippedColumn) {
    // At 100 % a palette row is looked up straight; a draw cut off at the left starts
    // inside a byte at 1 and 4 bits, and one cut off at the right ends inside one. Long
    // rows go 64 pixels at a time where the processor can, and the rest one by one.
    const int width = 150, height = 2;
    for (int bits : {1, 4, 8}) {
        const uint32_t entries = 1u << bits;
        Bytes table;
        for (uint32_t i = 0; i < entries; ++i) appendLe(table, 0x102030 ^ i * 0x010101, 4);
        const size_t stride = testkit::dibStride(width, bits);
        Dib dib{dibHeader(width, height, static_cast<uint16_t>(bits)) + table, Bytes(stride * height, 0)};
        auto index = [&](int x, int y) { return static_cast<uint32_t>(x * 37 + y * 3) % entries; };
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const size_t bit = static_cast<size_t>(x) * bits;  // rows are stored bottom-up
                dib.bits[(height - 1 - y) * stride + bit / 8] |= static_cast<uint8_t>(index(x, y) << (8 - bits - bit % 8));
            }
        }
        for (int left = 0; left > -10; --left) {
            SCOPED_TRACE(testing::Message() << bits << " bits from column " << -left);
            Surface s(width - 3, height);  // the right edge is cut as well
            ASSERT_TRUE(s.draw(dib, Rect{left, 0, width, height}));
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < s.canvas.width; ++x) {
                    const uint32_t expected = x - left < width ? 0x102030 ^ index(x - left, y) * 0x010101 : kBack;
                    ASSERT_EQ(s.at(x, y), expected) << x << "," << y;
                }
            }
        }
    }
}

// ---------------------------------------------------------------- clipping

TEST(DibRenderer, ClippedDrawShowsExactlyThePixelsOfTheWholeDraw) {
    // The same stretched draw onto a large canvas (nothing cut off) and onto a small one
    // at every kind of edge: the small canvas must show the matching window of the large.
    const Dib dib = coordinatePicture(7, 5);
    const int big = 64, off = 24;
    const int sizes[][2] = {{7, 5}, {13, 11}, {3, 2}, {20, 4}};
    const int places[][2] = {{-3, -2}, {10, -4}, {-5, 6}, {12, 9}, {2, 3}, {-20, -20}, {15, 15}};
    for (const auto& size : sizes) {
        Surface whole(big, big);
        ASSERT_TRUE(whole.draw(dib, Rect{off, off, size[0], size[1]}));
        for (const auto& at : places) {
            SCOPED_TRACE(testing::Message() << size[0] << "x" << size[1] << " at " << at[0] << "," << at[1]);
            Surface part(16, 12);
            ASSERT_TRUE(part.draw(dib, Rect{at[0], at[1], size[0], size[1]}));
            for (int y = 0; y < 12; ++y)
                for (int x = 0; x < 16; ++x) {
                    int wx = x - at[0] + off, wy = y - at[1] + off;
                    ASSERT_EQ(part.at(x, y), whole.at(wx, wy)) << x << "," << y;
                }
        }
    }
}

TEST(DibRenderer, ClipRectangleLimitsTheDraw) {
    const Dib dib = coordinatePicture(6, 6);
    Surface whole(12, 12);
    ASSERT_TRUE(whole.draw(dib, Rect{1, 1, 10, 10}));
    Surface part(12, 12);
    Rect clip{3, 4, 5, 2};
    ASSERT_TRUE(part.draw(dib, Rect{1, 1, 10, 10}, &clip));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            bool inside = x >= 3 && x < 8 && y >= 4 && y < 6;
            ASSERT_EQ(part.at(x, y), inside ? whole.at(x, y) : kBack) << x << "," << y;
        }
}

TEST(DibRenderer, PictureLargerThanTheCanvasIsCutAtRightAndBottom) {
    Surface s(32, 24);
    ASSERT_TRUE(s.draw(coordinatePicture(40, 30), Rect{5, 7, 40, 30}));
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(s.at(x, y), x >= 5 && y >= 7 ? coordinate(x - 5, y - 7) : kBack) << x << "," << y;
}

TEST(DibRenderer, CanvasStrideLeavesTheGapAlone) {
    std::vector<uint32_t> pixels(6 * 2, kBack);
    Canvas canvas{pixels.data(), 4, 2, 6};
    Dib dib = coordinatePicture(8, 2);
    ASSERT_TRUE(drawDib(canvas, Rect{0, 0, 8, 2}, reinterpret_cast<const BITMAPINFO*>(dib.info.data()),
                        static_cast<uint32_t>(dib.info.size()), dib.bits.data(), static_cast<uint32_t>(dib.bits.size())));
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) EXPECT_EQ(pixels[y * 6 + x], coordinate(x, y));
        EXPECT_EQ(pixels[y * 6 + 4], kBack);
        EXPECT_EQ(pixels[y * 6 + 5], kBack);
    }
}

TEST(DibRenderer, EmptyTargetsAndTargetsOffTheCanvasDrawNothing) {
    const Dib dib = coordinatePicture(4, 4);
    Surface s(8, 8);
    EXPECT_FALSE(s.draw(dib, Rect{0, 0, 0, 4}));
    EXPECT_FALSE(s.draw(dib, Rect{0, 0, 4, 0}));
    EXPECT_FALSE(s.draw(dib, Rect{0, 0, -4, 4}));
    EXPECT_TRUE(s.draw(dib, Rect{8, 0, 4, 4}));
    EXPECT_TRUE(s.draw(dib, Rect{-4, 0, 4, 4}));
    EXPECT_TRUE(s.draw(dib, Rect{2147483600, 2147483600, 2147483647, 2147483647}));
    Rect emptyClip{2, 2, 0, 0};
    EXPECT_TRUE(s.draw(dib, Rect{0, 0, 4, 4}, &emptyClip));
    for (uint32_t p : s.pixels) ASSERT_EQ(p, kBack);
}

TEST(DibRenderer, HugeTargetStretchesWithoutOverflow) {
    // A 2-pixel picture stretched to almost 2^31 pixels, seen through an 8x1 canvas at
    // the middle: the left half shows pixel 0, the right half pixel 1.
    Dib dib{dibHeader(2, 1, 8, BI_RGB, 2) + words({kRed, kGreen}), {0, 1, 0, 0}};
    Surface s(8, 1);
    ASSERT_TRUE(s.draw(dib, Rect{-1073741816, 0, 2147483640, 1}));
    EXPECT_EQ(s.rows(), (Rows{{kRed, kRed, kRed, kRed, kGreen, kGreen, kGreen, kGreen}}));
}

// ---------------------------------------------------------------- refused DIBs

Bytes rows(size_t n) { return Bytes(n, 0x55); }

TEST(DibRenderer, UndrawableDibsDrawNothing) {
    Bytes rle = {0x02, 0x01, 0x00, 0x01};
    Bytes coreHeader16 = {16, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 8, 0};
    struct Case {
        const char* name;
        Dib dib;
    } cases[] = {
        {"JPEG inside", {dibHeader(2, 2, 0, BI_JPEG, 0, 16), rows(16)}},
        {"PNG inside", {dibHeader(2, 2, 0, BI_PNG, 0, 16), rows(16)}},
        {"bit count 7", {dibHeader(2, 2, 7), rows(8)}},
        {"bit count 2", {dibHeader(2, 2, 2) + words({0, 0, 0, 0}), rows(8)}},
        {"bit count 64", {dibHeader(2, 2, 64), rows(32)}},
        {"bit fields at 24 bits", {dibHeader(2, 2, 24, BI_BITFIELDS) + words({0xFF0000, 0xFF00, 0xFF}), rows(16)}},
        {"alpha bit fields", {dibHeader(2, 2, 32, 6) + words({0xFF0000, 0xFF00, 0xFF}) + words({0}), rows(16)}},
        {"zero mask", {dibHeader(2, 2, 16, BI_BITFIELDS) + words({0xF800, 0, 0x1F}), rows(8)}},
        {"overlapping masks", {dibHeader(2, 2, 16, BI_BITFIELDS) + words({0xF800, 0x0FE0, 0x1F}), rows(8)}},
        {"split mask", {dibHeader(2, 2, 32, BI_BITFIELDS) + words({0xFF0000, 0xF00F, 0xF0}), rows(16)}},
        {"mask beyond 16 bits", {dibHeader(2, 2, 16, BI_BITFIELDS) + words({0x1F0000, 0x7E0, 0x1F}), rows(8)}},
        {"masks cut off", {dibHeader(2, 2, 16, BI_BITFIELDS) + Bytes{0, 0xF8, 0, 0}, rows(8)}},
        {"RLE8 at 4 bits", {dibHeader(2, 2, 4, BI_RLE8, 2, 4) + words({0, 0}), rle}},
        {"RLE4 at 8 bits", {dibHeader(2, 2, 8, BI_RLE4, 2, 4) + words({0, 0}), rle}},
        {"top-down RLE", {dibHeader(2, -2, 8, BI_RLE8, 2, 4) + words({0, 0}), rle}},
        {"RLE longer than its bytes", {dibHeader(2, 2, 8, BI_RLE8, 2, 5) + words({0, 0}), rle}},
        {"rows cut off", {dibHeader(3, 2, 24), rows(15)}},
        {"colour table cut off", {dibHeader(2, 2, 8, BI_RGB, 4) + words({0, 0, 0}), rows(8)}},
        {"width 0", {dibHeader(0, 2, 24), rows(8)}},
        {"negative width", {dibHeader(-2, 2, 24), rows(16)}},
        {"height 0", {dibHeader(2, 0, 24), rows(16)}},
        {"most negative height", {dibHeader(1, INT32_MIN, 8) + words({0}), rows(16)}},
        {"absurd width", {dibHeader(kMaxDibSide + 1, 1, 1) + words({0, 0}), rows(1 << 18)}},
        {"absurd RLE height", {dibHeader(4, kMaxDibSide + 1, 8, BI_RLE8, 2, 4) + words({0, 0}), rle}},
        {"planes 0", {[] { Bytes h = dibHeader(2, 2, 24); h[12] = 0; return h; }(), rows(16)}},
        {"16-byte header", {coreHeader16 + words({0, 0}), rows(8)}},
        {"header shorter than it says", {[] { Bytes h = dibHeader(2, 2, 24); h.resize(30); return h; }(), rows(16)}},
        {"no header", {Bytes{}, rows(16)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Surface s(4, 4);
        EXPECT_FALSE(s.draw(c.dib, Rect{0, 0, 4, 4}));
        for (uint32_t p : s.pixels) ASSERT_EQ(p, kBack);
    }
}

TEST(DibRenderer, HostileRleStaysInsideItsBytesAndTheCanvas) {
    // Whatever lands inside the picture is drawn, nothing else is touched or read.
    const Bytes streams[] = {
        {
            0x00, 0x02, 0xFF, 0x00,  // delta 255 right
            0xFF, 0x01,              // 255 pixels past the row's end
            0x00, 0x00,              // end of line
            0x00, 0xFF, 0x01,        // absolute run of 255 with one byte left
        },
        {
            0x00, 0x02, 0x00, 0xFF,  // delta 255 up: past the top
            0x03, 0x01,
        },
        {
            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // more ends of line than rows
            0x03, 0x01,
        },
        {0x00, 0x02, 0x01},  // delta cut off
    };
    for (const Bytes& bits : streams) {
        Dib dib{dibHeader(3, 3, 8, BI_RLE8, 2, static_cast<uint32_t>(bits.size())) + words({kRed, kGreen}), bits};
        Surface s(6, 6);
        EXPECT_TRUE(s.draw(dib, Rect{0, 0, 6, 6}));
        for (uint32_t p : s.pixels) ASSERT_EQ(p, kBack);
    }
}

TEST(DibRenderer, RecordWithoutPictureDrawsNothing) {
    _Ref<_ImageInfo> record = new _ImageInfo();
    Surface s(2, 2);
    EXPECT_FALSE(drawImage(s.canvas, Rect{0, 0, 2, 2}, *record));
    Dib dib = coordinatePicture(2, 2);
    EXPECT_FALSE(drawDib(s.canvas, Rect{0, 0, 2, 2}, reinterpret_cast<const BITMAPINFO*>(dib.info.data()),
                         static_cast<uint32_t>(dib.info.size()), nullptr, 0));
    Canvas noPixels{nullptr, 2, 2, 2};
    EXPECT_FALSE(drawDib(noPixels, Rect{0, 0, 2, 2}, reinterpret_cast<const BITMAPINFO*>(dib.info.data()),
                         static_cast<uint32_t>(dib.info.size()), dib.bits.data(), static_cast<uint32_t>(dib.bits.size())));
    for (uint32_t p : s.pixels) ASSERT_EQ(p, kBack);
}

}  // namespace
