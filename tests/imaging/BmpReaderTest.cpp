#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "imaging/BmpValidation.h"
#include "imaging/ImageInfo.h"
#include "tests/kit/ImageOutcome.h"
#include "tests/kit/PictureBytes.h"
#include "tests/kit/TempDir.h"

using namespace img_lib;
namespace fs = std::filesystem;

namespace {

using testkit::Bytes;
using testkit::operator+;

void put16(Bytes& b, size_t at, uint16_t v) {
    b.at(at) = v & 0xFF;
    b.at(at + 1) = v >> 8;
}
void put32(Bytes& b, size_t at, uint32_t v) {
    for (size_t i = 0; i < 4; ++i) b.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
}

// Field offsets in a BMP file.
enum : size_t { BF_SIZE = 2, BF_OFF_BITS = 10, BI_SIZE = 14, BI_WIDTH = 18, BI_HEIGHT = 22,
                BI_PLANES = 26, BI_BIT_COUNT = 28, BI_COMPRESSION = 30, BI_SIZE_IMAGE = 34, BI_CLR_USED = 46 };

struct BmpShape {
    int32_t width = 5;
    int32_t height = 3;
    uint16_t bitCount = 24;
    uint32_t headerSize = 40;
    uint32_t compression = BI_RGB;
    uint32_t colours = 0;  // table entries written (and declared in biClrUsed)
    uint32_t masks[3] = {0xF800, 0x07E0, 0x001F};
};

// A complete, valid BMP of the given shape; pixel bytes count up from 1.
Bytes makeBmp(const BmpShape& s) {
    Bytes info;
    if (s.headerSize == 12) {
        for (uint32_t field : {12u, static_cast<uint32_t>(s.width) & 0xFFFF, static_cast<uint32_t>(s.height) & 0xFFFF, 1u})
            testkit::appendLe(info, field, field == 12 ? 4 : 2);
        testkit::appendLe(info, s.bitCount, 2);
    } else {
        info = testkit::dibHeader(s.width, s.height, s.bitCount, s.compression, s.colours);
        put32(info, 0, s.headerSize);
        if (s.compression == BI_BITFIELDS) info = info + testkit::words({s.masks[0], s.masks[1], s.masks[2]});
        if (info.size() < s.headerSize) info.resize(s.headerSize);
    }
    info.resize(info.size() + s.colours * (s.headerSize == 12 ? 3 : 4));
    Bytes pixels(testkit::dibStride(s.width, s.bitCount) * static_cast<size_t>(s.height < 0 ? -int64_t(s.height) : s.height));
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i + 1);
    return testkit::bmpFile(info, pixels);
}

Bytes makeBmp() { return makeBmp(BmpShape{}); }

using testkit::outcome;

std::string memoryOutcome(const Bytes& b) {
    return outcome([&] { loadImage(b.data(), static_cast<int>(b.size()), IMAGE_BMP, "mem"); });
}

std::string fileOutcome(const TempDir& tmp, const Bytes& b) {
    std::string path = tmp.write("picture.bmp", b);
    return outcome([&] { loadImage(path.c_str(), IMAGE_BMP); });
}


}  // namespace

// ---- The file header, in its order -------------------------------------------------

TEST(BmpFileHeader, ShortHeaderIsWordedPerSource) {
    TempDir tmp;
    Bytes b = makeBmp();
    b.resize(13);
    EXPECT_EQ(fileOutcome(tmp, b), "Corrupt file header");
    EXPECT_EQ(memoryOutcome(b), "Corrupt bmp header");
    // In memory the size is checked before the signature, and a negative size is short.
    EXPECT_EQ(memoryOutcome(Bytes{'X', 'X', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), "Corrupt bmp header");
    Bytes whole = makeBmp();
    EXPECT_EQ(outcome([&] { loadImage(whole.data(), -1, IMAGE_BMP, nullptr); }), "Corrupt bmp header");
}

TEST(BmpFileHeader, MissingFileCannotBeOpened) {
    EXPECT_EQ(outcome([] { loadImage("/nonexistent/none.bmp", IMAGE_BMP); }), "Can't open BMP File");
    TempDir tmp;
    EXPECT_EQ(fileOutcome(tmp, Bytes{}), "Can't open BMP File");  // an empty file maps to nothing
}

TEST(BmpFileHeader, NullNameIsANullReference) {
    Bytes b = makeBmp();
    EXPECT_THROW(loadBmp(b.data(), static_cast<int>(b.size()), nullptr), torvik_lang::Throwable);
}

// ---- The record -----------------------------------------------------------------------

TEST(BmpRecord, MemoryRecordPointsIntoTheCallersBytes) {
    Bytes b = makeBmp();
    const Bytes before = b;
    _Ref<_ImageInfo> image = loadImage(b.data(), static_cast<int>(b.size()), IMAGE_BMP, nullptr);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->type, IMAGE_BMP);
    EXPECT_STREQ(image->getName()->c_str(), "InMemImage");
    EXPECT_EQ(reinterpret_cast<uint8_t*>(image->info), b.data() + 14);
    EXPECT_EQ(image->bits, b.data() + 54);
    EXPECT_EQ(image->infoBytes, b.size() - 14);
    EXPECT_EQ(image->bitsBytes, b.size() - 54);
    EXPECT_EQ(image->width(), 5);
    EXPECT_EQ(image->height(), 3);

    image->freeImage();
    EXPECT_EQ(image->bits, nullptr);
    EXPECT_EQ(image->info, nullptr);
    EXPECT_STREQ(image->getName()->c_str(), "InMemImage");  // a BMP record keeps its name
    image->freeImage();                                      // the second call finds nothing
    image = nullptr;
    EXPECT_EQ(b, before);
}

TEST(BmpRecord, FileStaysMappedUntilFreeImage) {
    TempDir tmp;
    Bytes first = makeBmp();
    std::string path = tmp.write("p.bmp", first);
    int fdsBefore = openDescriptors();

    _Ref<_ImageInfo> image = loadImage(path.c_str(), IMAGE_BMP);
    auto* bmp = dynamic_cast<_BmpInfo*>(image.get());
    ASSERT_NE(bmp, nullptr);
    EXPECT_TRUE(bmp->mapping.isOpen());
    EXPECT_STREQ(image->getName()->c_str(), path.c_str());
    EXPECT_EQ(0, std::memcmp(image->info, first.data() + 14, first.size() - 14));
    EXPECT_EQ(image->bits[0], 1);

    image->freeImage();
    EXPECT_FALSE(bmp->mapping.isOpen());
    if (fdsBefore >= 0) {
        EXPECT_EQ(openDescriptors(), fdsBefore);
    }

    // Once closed, the file can go and another picture can take its name.
    ASSERT_TRUE(fs::remove(path));
    BmpShape wide;
    wide.width = 9;
    tmp.write("p.bmp", makeBmp(wide));
    _Ref<_ImageInfo> again = loadImage(path.c_str(), IMAGE_BMP);
    EXPECT_EQ(again->width(), 9);
    again = nullptr;
    image = nullptr;
    if (fdsBefore >= 0) {
        EXPECT_EQ(openDescriptors(), fdsBefore);
    }
}

TEST(BmpRecord, FailedFileLoadClosesTheMapping) {
    TempDir tmp;
    Bytes b = makeBmp();
    b[1] = 'A';
    int fdsBefore = openDescriptors();
    if (fdsBefore < 0) GTEST_SKIP() << "no descriptor list";
    EXPECT_EQ(fileOutcome(tmp, b), "No bmp file");
    EXPECT_EQ(openDescriptors(), fdsBefore);
}

// ---- The bitmap information and pixel data -----------------------------------------------

struct Malformed {
    const char* what;
    std::function<Bytes()> make;
    const char* message;
};

class BmpMalformed : public ::testing::TestWithParam<Malformed> {};

TEST_P(BmpMalformed, IsRefusedFromFileAndMemory) {
    Bytes b = GetParam().make();
    TempDir tmp;
    EXPECT_EQ(memoryOutcome(b), GetParam().message) << GetParam().what;
    EXPECT_EQ(fileOutcome(tmp, b), GetParam().message) << GetParam().what;
}

Bytes withField32(Bytes b, size_t at, uint32_t v) {
    put32(b, at, v);
    return b;
}
Bytes withField16(Bytes b, size_t at, uint16_t v) {
    put16(b, at, v);
    return b;
}
Bytes truncated(Bytes b, size_t n) {
    b.resize(n);
    put32(b, BF_SIZE, static_cast<uint32_t>(n));
    return b;
}
Bytes bitfields(uint16_t bits, uint32_t r, uint32_t g, uint32_t b) {
    BmpShape s;
    s.bitCount = bits;
    s.compression = BI_BITFIELDS;
    s.masks[0] = r;
    s.masks[1] = g;
    s.masks[2] = b;
    return makeBmp(s);
}
// The default picture followed by padding to `size` bytes, of which the header declares `declared`.
Bytes padded(size_t size, uint32_t declared) {
    Bytes b = makeBmp();
    b.resize(size);
    put32(b, BF_SIZE, declared);
    return b;
}
Bytes shaped(void (*edit)(BmpShape&)) {
    BmpShape s;
    edit(s);
    return makeBmp(s);
}

const Malformed kMalformed[] = {
    {"bitmap array signature", [] { return withField16(makeBmp(), 0, 0x4142); }, "No bmp file"},  // "BA"
    {"declared size beyond the bytes", [] { return padded(999, 1000); }, "File size to small"},
    {"header size cut off", [] { return truncated(makeBmp(), 16); }, "Corrupt bmp header"},
    {"header outside", [] { return truncated(makeBmp(), 40); }, "Corrupt bmp header"},
    {"unknown header size", [] { return withField32(makeBmp(), BI_SIZE, 66); }, "Unknown bmp header size"},
    {"OS/2 v2 short header", [] { return withField32(makeBmp(), BI_SIZE, 16); }, "Unknown bmp header size"},
    {"width 0", [] { return withField32(makeBmp(), BI_WIDTH, 0); }, "Invalid bitmap dimensions"},
    {"height 0", [] { return withField32(makeBmp(), BI_HEIGHT, 0); }, "Invalid bitmap dimensions"},
    {"negative width", [] { return withField32(makeBmp(), BI_WIDTH, static_cast<uint32_t>(-5)); },
     "Invalid bitmap dimensions"},
    {"width above the limit", [] { return withField32(makeBmp(), BI_WIDTH, 65537); }, "Bitmap too large"},
    {"height INT_MIN", [] { return withField32(makeBmp(), BI_HEIGHT, 0x80000000u); }, "Bitmap too large"},
    {"rows overflowing 32 bits",
     [] { return withField32(withField32(makeBmp(), BI_WIDTH, 0x7FFFFFFF), BI_HEIGHT, 0x7FFFFFFF); },
     "Bitmap too large"},
    {"two planes", [] { return withField16(makeBmp(), BI_PLANES, 2); }, "Unsupported bmp format"},
    {"2 bits per pixel", [] { return withField16(makeBmp(), BI_BIT_COUNT, 2); }, "Unsupported bmp format"},
    {"16 bits in a core header",
     [] { return shaped([](BmpShape& s) { s.headerSize = 12; s.bitCount = 16; }); }, "Unsupported bmp format"},
    {"RLE8 at 24 bits", [] { return withField32(makeBmp(), BI_COMPRESSION, BI_RLE8); }, "Unsupported bmp format"},
    {"RLE8 top-down",
     [] { return withField32(shaped([](BmpShape& s) { s.bitCount = 8; s.compression = BI_RLE8; }),
                             BI_HEIGHT, static_cast<uint32_t>(-3)); },
     "Unsupported bmp format"},
    {"embedded JPEG", [] { return withField32(makeBmp(), BI_COMPRESSION, BI_JPEG); }, "Unsupported bmp format"},
    {"alpha bit fields", [] { return withField32(bitfields(32, 0xFF0000, 0xFF00, 0xFF), BI_COMPRESSION, 6); },
     "Unsupported bmp format"},
    {"bit fields at 24 bits", [] { return withField16(bitfields(16, 0xF800, 0x7E0, 0x1F), BI_BIT_COUNT, 24); },
     "Unsupported bmp format"},
    {"OS/2 compression 3", [] { return withField32(shaped([](BmpShape& s) { s.headerSize = 64; s.bitCount = 16; }),
                                             BI_COMPRESSION, 3); },
     "Unsupported bmp format"},
    {"zero mask", [] { return bitfields(16, 0xFF00, 0xFF, 0); }, "Invalid bitfield masks"},
    {"broken mask", [] { return bitfields(16, 0xF000, 0x0F00, 0x0005); }, "Invalid bitfield masks"},
    {"shared bits", [] { return bitfields(16, 0xF800, 0x0FE0, 0x001F); }, "Invalid bitfield masks"},
    {"mask beyond 16 bits", [] { return bitfields(16, 0x1F0000, 0x07E0, 0x001F); }, "Invalid bitfield masks"},
    {"masks outside", [] { return truncated(bitfields(16, 0xF800, 0x7E0, 0x1F), 14 + 40 + 8); },
     "Corrupt bmp header"},
    {"colour table outside", [] { return withField32(shaped([](BmpShape& s) { s.bitCount = 8; s.colours = 2; }),
                                                     BI_CLR_USED, 305402420); },
     "Color table outside the file"},
    {"implied table outside", [] { return truncated(shaped([](BmpShape& s) { s.bitCount = 8; s.colours = 0; }), 300); },
     "Color table outside the file"},
    {"rows outside", [] { Bytes b = makeBmp(); return truncated(b, b.size() - 1); }, "Bitmap data outside the file"},
    {"pixel offset outside", [] { Bytes b = makeBmp(); return withField32(b, BF_OFF_BITS, static_cast<uint32_t>(b.size())); },
     "Bitmap data outside the file"},
    {"RLE offset outside",
     [] { Bytes b = shaped([](BmpShape& s) { s.bitCount = 8; s.compression = BI_RLE8; s.colours = 2; });
          return withField32(b, BF_OFF_BITS, 0xFFFFFFF0u); },
     "Bitmap data outside the file"},
    {"RLE data past the end",
     [] { Bytes b = shaped([](BmpShape& s) { s.bitCount = 8; s.compression = BI_RLE8; s.colours = 2; });
          return withField32(b, BI_SIZE_IMAGE, 1000); },
     "RLE data runs past the end of the file"},
};

INSTANTIATE_TEST_SUITE_P(Table, BmpMalformed, ::testing::ValuesIn(kMalformed));

// Odd files that the platform draws all the same, from file and memory.
TEST(BmpLayout, AcceptsDrawableVariants) {
    struct Case { const char* what; Bytes bytes; };
    //                width  height bits header compression colours
    const BmpShape core{5, 3, 8, 12, BI_RGB, 256};
    const BmpShape v5{5, 3, 32, 124};
    const BmpShape rle{5, 1, 4, 40, BI_RLE4, 16};
    const BmpShape oversize{5, 3, 8, 40, BI_RGB, 300};
    const BmpShape widest{65536, 1, 1, 40, BI_RGB, 2};

    Bytes tableIntoRows = makeBmp(oversize);
    put32(tableIntoRows, BF_OFF_BITS, 14 + 40 + 200 * 4);  // the table runs into the pixels

    const Case cases[] = {
        {"declared size exact", padded(1000, 1000)},
        {"bytes beyond the declared size", padded(2000, 1000)},
        {"core header", makeBmp(core)},
        {"V5 header", makeBmp(v5)},
        {"top-down rows", withField32(makeBmp(), BI_HEIGHT, static_cast<uint32_t>(-3))},
        {"RLE4 data left to the drawer", makeBmp(rle)},
        {"oversized colour table", makeBmp(oversize)},
        {"table running into the rows", tableIntoRows},
        {"width at the limit", makeBmp(widest)},
        {"565 bit fields", bitfields(16, 0xF800, 0x07E0, 0x001F)},
        {"10-bit channels", bitfields(32, 0x3FF00000, 0x000FFC00, 0x000003FF)},
    };
    TempDir tmp;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(memoryOutcome(c.bytes), "loaded");
        EXPECT_EQ(fileOutcome(tmp, c.bytes), "loaded");
    }
}

TEST(BmpLayout, RowBytesAtTheirBoundaries) {
    EXPECT_EQ(dibRowBytes(1, 1), 4u);
    EXPECT_EQ(dibRowBytes(32, 1), 4u);
    EXPECT_EQ(dibRowBytes(33, 1), 8u);
    EXPECT_EQ(dibRowBytes(5, 24), 16u);
    EXPECT_EQ(dibRowBytes(4, 24), 12u);
    EXPECT_EQ(dibRowBytes(127, 4), 64u);
    EXPECT_EQ(dibRowBytes(0x7FFFFFFF, 32), uint64_t(0x7FFFFFFF) * 4);
    EXPECT_FALSE(dibRowBytes(INT64_MAX, 2));
    EXPECT_FALSE(dibRowBytes(6148914691236517205, 3));  // 2^64 - 1 bits: the rounding overflows
    EXPECT_FALSE(dibRowBytes(-1, 24));
}

// ---- The picture suite -------------------------------------------------------------------

namespace {

fs::path corpus(const char* sub) { return fs::path(GLIMSEL_CORPUS_DIR) / "bmp" / sub; }

std::vector<fs::path> bmpsIn(const fs::path& dir) {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(dir)) {
        if (e.path().extension() == ".bmp") files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}


// Loads a corpus file both ways; both must agree, and a record must stay in its bytes.
std::string loadBothWays(const fs::path& p) {
    Bytes bytes = TempDir::readBytes(p.string());
    std::string fromFile = outcome([&] {
        _Ref<_ImageInfo> image = loadImage(p.string().c_str(), IMAGE_BMP);
        EXPECT_EQ(image->infoBytes, bytes.size() - 14);
        EXPECT_GT(image->bitsBytes, 0u);
        EXPECT_EQ(image->bits - reinterpret_cast<uint8_t*>(image->info),
                  static_cast<ptrdiff_t>(image->infoBytes) - image->bitsBytes);
        image->freeImage();
    });
    std::string fromMemory = memoryOutcome(bytes);
    EXPECT_EQ(fromFile, fromMemory) << p;
    return fromFile;
}

}  // namespace

TEST(BmpSuite, EveryGoodAndExtraFileLoads) {
    if (!fs::exists(corpus("g"))) GTEST_SKIP() << "no picture corpus";
    EXPECT_EQ(bmpsIn(corpus("g")).size(), 27u);
    for (const char* folder : {"g", "extra"}) {
        if (!fs::exists(corpus(folder))) continue;
        for (const auto& p : bmpsIn(corpus(folder))) EXPECT_EQ(loadBothWays(p), "loaded") << p;
    }
}

TEST(BmpSuite, QuestionableFilesLoadWhereTheyDraw) {
    if (!fs::exists(corpus("q"))) GTEST_SKIP() << "no picture corpus";
    // What the platform's DIB drawing cannot show; everything else in q/ loads.
    const std::map<std::string, std::string> refused = {
        {"pal1huffmsb.bmp", "Unsupported bmp format"},  {"pal2.bmp", "Unsupported bmp format"},
        {"pal2color.bmp", "Unsupported bmp format"},    {"pal8os2v2-16.bmp", "Unknown bmp header size"},
        {"rgb24jpeg.bmp", "Unsupported bmp format"},    {"rgb24png.bmp", "Unsupported bmp format"},
        {"rgb24rle24.bmp", "Unsupported bmp format"},   {"rgba32abf.bmp", "Unsupported bmp format"},
        {"rgba64.bmp", "Unsupported bmp format"},
    };
    for (const auto& p : bmpsIn(corpus("q"))) {
        auto it = refused.find(p.filename().string());
        EXPECT_EQ(loadBothWays(p), it == refused.end() ? "loaded" : it->second) << p.filename();
    }
}

TEST(BmpSuite, BadFilesAreRefusedOrSafe) {
    if (!fs::exists(corpus("b"))) GTEST_SKIP() << "no picture corpus";
    // Files the platform would still draw (odd density, RLE that the drawer clips, an
    // index beyond the table, an ignored image size) load; every other one is refused.
    const std::map<std::string, std::string> expected = {
        {"badbitcount.bmp", "Unsupported bmp format"},
        {"badbitssize.bmp", "loaded"},
        {"baddens1.bmp", "loaded"},
        {"baddens2.bmp", "loaded"},
        {"badfilesize.bmp", "File size to small"},
        {"badheadersize.bmp", "Unknown bmp header size"},
        {"badpalettesize.bmp", "Color table outside the file"},
        {"badplanes.bmp", "Unsupported bmp format"},
        {"badrle.bmp", "loaded"},
        {"badrle4.bmp", "loaded"},
        {"badrle4bis.bmp", "loaded"},
        {"badrle4ter.bmp", "loaded"},
        {"badrlebis.bmp", "loaded"},
        {"badrleter.bmp", "loaded"},
        {"badwidth.bmp", "Invalid bitmap dimensions"},
        {"pal8badindex.bmp", "loaded"},
        {"reallybig.bmp", "File size to small"},
        {"rgb16-880.bmp", "Invalid bitfield masks"},
        {"rletopdown.bmp", "Unsupported bmp format"},
        {"shortfile.bmp", "File size to small"},
    };
    for (const auto& p : bmpsIn(corpus("b"))) {
        auto it = expected.find(p.filename().string());
        ASSERT_NE(it, expected.end()) << p.filename();
        EXPECT_EQ(loadBothWays(p), it->second) << p.filename();
    }
    if (fs::exists(corpus("x"))) {
        for (const auto& p : bmpsIn(corpus("x"))) EXPECT_EQ(loadBothWays(p), "No bmp file") << p.filename();
    }
}
