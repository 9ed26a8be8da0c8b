#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <png.h>

#include "imaging/DrawInPlace.h"
#include "imaging/ImageInfo.h"
#include "tests/imaging/JpegSamples.h"
#include "tests/kit/ImageOutcome.h"
#include "tests/kit/TempDir.h"

using namespace img_lib;
using namespace jpeg_samples;
namespace fs = std::filesystem;

namespace {

const std::vector<std::vector<uint8_t>> kRedBlue = {{255, 0, 0}, {0, 0, 255}};

Options exact() {
    Options o;
    o.quality = 100;
    o.fullChroma = true;
    return o;
}

Options withOptions(bool progressive, bool fullChroma) {
    Options o;
    o.progressive = progressive;
    o.fullChroma = fullChroma;
    return o;
}

Bytes firstHalf(const Bytes& b) { return Bytes(b.begin(), b.begin() + static_cast<long>(b.size() / 2)); }

_Ref<_ImageInfo> decode(const Bytes& b, char const* name = "test.jpg") {
    return loadImage(b.data(), static_cast<int>(b.size()), IMAGE_JPEG, name);
}

using testkit::outcome;

std::string decodeOutcome(const Bytes& b) {
    return outcome([&] { decode(b); });
}

// Pixel (x, y) of a decoded record as B, G, R.
const uint8_t* pixel(const _ImageInfo& image, int x, int y) {
    int w = image.width();
    return image.bits + size_t(y) * (3 * w + w % 4) + 3 * x;
}

void expectNear(const uint8_t* bgr, int b, int g, int r, int tolerance, const std::string& where) {
    EXPECT_NEAR(bgr[0], b, tolerance) << where;
    EXPECT_NEAR(bgr[1], g, tolerance) << where;
    EXPECT_NEAR(bgr[2], r, tolerance) << where;
}

// The SOF frame header's height and width: the first marker 0xFFC0 or 0xFFC2.
void setFrameSize(Bytes& b, uint16_t width, uint16_t height) {
    for (size_t i = 2; i + 9 < b.size(); ++i) {
        if (b[i] == 0xFF && (b[i + 1] == 0xC0 || b[i + 1] == 0xC2)) {
            b[i + 5] = height >> 8;
            b[i + 6] = height & 0xFF;
            b[i + 7] = width >> 8;
            b[i + 8] = width & 0xFF;
            return;
        }
    }
    FAIL() << "no frame header";
}

}  // namespace

// ---- Layout of the record --------------------------------------------------------------

TEST(JpegLayout, RowsArePaddedToFourBytes) {
    struct Case { int width; int rowBytes; };
    for (Case c : {Case{5, 16}, Case{4, 12}, Case{6, 20}, Case{7, 24}, Case{1, 4}}) {
        _Ref<_ImageInfo> image = decode(encode(bands(c.width, 16, Space::Rgb, kRedBlue), exact()));
        std::string where = "width " + std::to_string(c.width);
        ASSERT_EQ(image->width(), c.width) << where;
        EXPECT_EQ(image->bitsBytes, uint32_t(c.width + 1) * 16 * 3) << where;
        // Red on top, blue from row 8, blue first in each pixel.
        expectNear(image->bits, 0, 0, 255, 2, where);
        expectNear(image->bits + 8 * c.rowBytes, 255, 0, 0, 2, where);
        expectNear(image->bits + 8 * c.rowBytes + 3 * (c.width - 1), 255, 0, 0, 2, where);
        for (int y = 0; y < 16; ++y) {
            for (int pad = 3 * c.width; pad < c.rowBytes; ++pad) {
                EXPECT_EQ(image->bits[y * c.rowBytes + pad], 0) << where << " row " << y;
            }
        }
    }
}

TEST(JpegLayout, PicturesDrawnSmallAreDecodedAtTheScaleTheyAreDrawnAt) {
    const Bytes file = encode(bands(101, 67, Space::Rgb, kRedBlue), exact());
    struct Case { int percent; int reduction; };
    for (Case c : {Case{100, 1}, Case{51, 1}, Case{50, 2}, Case{36, 2}, Case{25, 4}, Case{14, 4}, Case{12, 8},
                   Case{1, 8}, Case{0, 1}}) {
        std::string where = std::to_string(c.percent) + " %";
        DrawScaleScope scope(c.percent);
        _Ref<_ImageInfo> image = decode(file);
        const int width = (101 + c.reduction - 1) / c.reduction, height = (67 + c.reduction - 1) / c.reduction;
        EXPECT_EQ(image->width(), width) << where;
        EXPECT_EQ(image->height(), height) << where;
        EXPECT_EQ(image->bitsBytes, uint32_t(width + 1) * height * 3) << where;
        // The record stands for the whole picture.
        EXPECT_EQ(image->fullWidth(), 101) << where;
        EXPECT_EQ(image->fullHeight(), 67) << where;
        EXPECT_EQ(image->reducedFromWidth, c.reduction > 1 ? 101 : 0) << where;
        expectNear(image->bits, 0, 0, 255, 2, where);  // red on top
    }
    // Outside every scope, pictures come at their own size.
    EXPECT_EQ(decode(file)->width(), 101);
}

TEST(JpegLayout, HeaderIsTopDown24Bit) {
    _Ref<_ImageInfo> image = decode(encode(photoLike(8, 480)), "tall.jpg");
    const BITMAPINFOHEADER& h = image->info->bmiHeader;
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 8);
    EXPECT_EQ(h.biHeight, -480);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biCompression, BI_RGB);
    EXPECT_EQ(h.biClrUsed, 0u);
    EXPECT_EQ(image->height(), 480);
    EXPECT_EQ(image->type, IMAGE_JPEG);
    EXPECT_STREQ(image->getName()->c_str(), "tall.jpg");
    EXPECT_EQ(image->infoBytes, 44u + 4 * 256);

    image->freeImage();
    EXPECT_EQ(image->bits, nullptr);
    EXPECT_EQ(image->info, nullptr);
    EXPECT_TRUE(image->getName().isNull());
}

// ---- Colour spaces -------------------------------------------------------------------------

TEST(JpegColour, ProgressiveMatchesBaseline) {
    Picture photo = photoLike(67, 45);
    _Ref<_ImageInfo> a = decode(encode(photo));
    _Ref<_ImageInfo> b = decode(encode(photo, withOptions(true, false)));
    ASSERT_EQ(a->bitsBytes, b->bitsBytes);
    // The same coefficients, stored in another order.
    EXPECT_EQ(0, std::memcmp(a->bits, b->bits, a->bitsBytes));
}

TEST(JpegColour, GrayscaleIsShownAsGrey) {
    _Ref<_ImageInfo> image = decode(encode(bands(9, 16, Space::Gray, {{40}, {200}}), exact()));
    expectNear(pixel(*image, 4, 3), 40, 40, 40, 1, "top band");
    expectNear(pixel(*image, 8, 12), 200, 200, 200, 1, "bottom band");
}

TEST(JpegColour, CmykAndYcckAreConvertedToRgb) {
    // Stored as Adobe writes them: 255 is no ink. Red = C * K / 255 and so on.
    const std::vector<std::vector<uint8_t>> inks = {{255, 128, 0, 255}, {0, 255, 255, 128}, {200, 100, 50, 50}};
    for (Space space : {Space::Cmyk, Space::Ycck}) {
        _Ref<_ImageInfo> image = decode(encode(bands(8, 24, space, inks), exact()));
        std::string where = space == Space::Cmyk ? "CMYK" : "YCCK";
        expectNear(pixel(*image, 2, 2), 0, 128, 255, 2, where);
        expectNear(pixel(*image, 2, 10), 128, 128, 0, 2, where);
        expectNear(pixel(*image, 2, 18), 10, 20, 39, 2, where);
    }
}

// ---- Drawing in place ------------------------------------------------------------------------

namespace {

// A window that offers its rows at (3, 2) of a larger, marked block and keeps what it is
// told.
struct WindowPlacer : PicturePlacer {
    static constexpr uint32_t kMark = 0xA5A5A5A5;
    WindowPlacer(int width, int height, bool accept = true)
        : stride(width + 7), pixels(size_t(stride) * (height + 4), kMark), accept(accept) {}
    bool place(int width, int height, Canvas& rows) override {
        ++offers;
        rows = Canvas{pixels.data() + 2 * stride + 3, width, height, stride};
        return accept;
    }
    void placed(bool complete) override { outcomes.push_back(complete); }
    int stride;
    std::vector<uint32_t> pixels;
    bool accept;
    int offers = 0;
    std::vector<bool> outcomes;
};

}  // namespace

TEST(JpegInPlace, PicturesPlacedInTheWindowGetTheRecordsPixelsAndNothingElse) {
    struct Case { const char* name; Bytes file; };
    const Case cases[] = {{"4:2:0", encode(photoLike(67, 45))},
                          {"4:4:4", encode(photoLike(67, 45), withOptions(false, true))},
                          {"progressive", encode(photoLike(67, 45), withOptions(true, false))},
                          {"grey", encode(bands(9, 16, Space::Gray, {{40}, {200}}), exact())}};
    for (const Case& c : cases) {
        _Ref<_ImageInfo> record = decode(c.file);
        const int w = record->width(), h = record->height();
        WindowPlacer window(w, h);
        DrawInPlaceScope scope(&window);
        _Ref<_ImageInfo> placed = decode(c.file);
        EXPECT_TRUE(placed->drawnInPlace && !placed->bits) << c.name;
        EXPECT_EQ(window.outcomes, std::vector<bool>{true}) << c.name;
        // The library sets the fourth byte, so no pixel of the picture keeps the mark.
        EXPECT_EQ(size_t(std::count(window.pixels.begin(), window.pixels.end(), WindowPlacer::kMark)),
                  window.pixels.size() - size_t(w) * h) << c.name;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                ASSERT_EQ(0, std::memcmp(&window.pixels[size_t(y + 2) * window.stride + x + 3], pixel(*record, x, y), 3))
                    << c.name << " " << x << "," << y;
            }
        }
    }
}

TEST(JpegInPlace, OtherPicturesComeAsRecordsAsBefore) {
    const Bytes photo = encode(photoLike(33, 20));
    const Bytes cmyk = encode(bands(8, 24, Space::Cmyk, {{255, 128, 0, 255}}), exact());
    struct Case { const char* name; const Bytes* file; bool accept; int percent; int offers; };
    const Case cases[] = {
        {"refused", &photo, false, 100, 1}, {"CMYK", &cmyk, true, 100, 0}, {"drawn at half size", &photo, true, 50, 0}};
    for (const Case& c : cases) {
        DrawScaleScope scale(c.percent);
        _Ref<_ImageInfo> expected = decode(*c.file);
        WindowPlacer window(40, 30, c.accept);
        DrawInPlaceScope scope(&window);
        _Ref<_ImageInfo> record = decode(*c.file);
        EXPECT_FALSE(record->drawnInPlace) << c.name;
        ASSERT_EQ(record->bitsBytes, expected->bitsBytes) << c.name;
        EXPECT_EQ(0, std::memcmp(record->bits, expected->bits, record->bitsBytes)) << c.name;
        EXPECT_EQ(window.offers, c.offers) << c.name;
        EXPECT_TRUE(window.outcomes.empty()) << c.name;
    }
}

TEST(JpegInPlace, PictureThatFailsAfterItsRowsWereOfferedIsNotShown) {
    WindowPlacer window(64, 64);
    DrawInPlaceScope scope(&window);
    EXPECT_EQ(decodeOutcome(firstHalf(encode(photoLike(64, 64)))), "JPEG format error");
    EXPECT_EQ(window.outcomes, std::vector<bool>{false});
}

// ---- Failures --------------------------------------------------------------------------------

TEST(JpegFailure, NotAJpegIsAFormatErrorFromTheLibrary) {
    Bytes text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
    try {
        decode(text);
        FAIL() << "decoded";
    } catch (JpegImageException&) {
        FAIL() << "the adapter's own header message, not the library's error";
    } catch (ImageException& e) {
        EXPECT_STREQ(e.messageText(), "JPEG format error");
    }
}

TEST(JpegFailure, EmptyAndNegativeSizesAreFormatErrors) {
    Bytes b = encode(photoLike(8, 8));
    EXPECT_EQ(outcome([&] { loadImage(b.data(), 0, IMAGE_JPEG, nullptr); }), "JPEG format error");
    EXPECT_EQ(outcome([&] { loadImage(b.data(), -5, IMAGE_JPEG, nullptr); }), "JPEG format error");
    EXPECT_EQ(outcome([&] { loadImage(b.data(), 1, IMAGE_JPEG, nullptr); }), "JPEG format error");
}

TEST(JpegFailure, CutShortPicturesMeetTheirOwnStartMarker) {
    for (const Options& options : {Options{}, withOptions(true, false)}) {
        Bytes whole = encode(photoLike(64, 64), options);
        for (size_t keep : {whole.size() / 3, whole.size() / 2, whole.size() - 2}) {
            Bytes cut(whole.begin(), whole.begin() + static_cast<long>(keep));
            EXPECT_EQ(decodeOutcome(cut), "JPEG format error")
                << (options.progressive ? "progressive" : "baseline") << " cut to " << keep;
        }
    }
}

TEST(JpegFailure, DecoderIsIdleAgainAfterEveryFailure) {
    Bytes good = encode(bands(5, 16, Space::Rgb, kRedBlue), exact());
    Bytes cut = firstHalf(good);
    Bytes huge = good;
    setFrameSize(huge, 40000, 40000);
    Bytes garbage = {0xFF, 0xD8, 0xFF, 0x00, 0x01, 0x02};
    for (const Bytes* bad : {&cut, &huge, &garbage, &cut}) {
        EXPECT_NE(decodeOutcome(*bad), "loaded");
        _Ref<_ImageInfo> image = decode(good);
        expectNear(image->bits, 0, 0, 255, 2, "after a failure");
    }
}

TEST(JpegFailure, PicturesOverTheMemoryBudgetAreRefusedBeforeDecoding) {
    Options progressive = exact();
    progressive.progressive = true;
    struct Case { bool progressive; uint16_t width, height; const char* expected; };
    const Case cases[] = {
        // 806 MB of coefficients and a 403 MB pixel buffer for a file of a few hundred bytes.
        {true, 11585, 11585, "picture too large: 11585\xC3\x97" "11585 needs 1.2 GB"},
        {false, 40000, 40000, "picture too large: 40000\xC3\x97" "40000 needs 4.8 GB"},
        {false, 16384, 16384, "picture too large: 16384\xC3\x97" "16384 needs 809 MB"},
        {true, 6000, 4000, nullptr},  // a 24-megapixel progressive photo fits
        {false, 65535, 8, nullptr},
        {false, 0, 8, "JPEG format error"},  // the library's own check
    };
    for (const Case& c : cases) {
        Bytes b = encode(photoLike(16, 16), c.progressive ? progressive : Options{});
        setFrameSize(b, c.width, c.height);
        std::string result = decodeOutcome(b);
        if (c.expected) {
            EXPECT_EQ(result, c.expected) << c.width << "x" << c.height;
        } else {
            EXPECT_EQ(result.find("picture too large"), std::string::npos) << c.width << "x" << c.height;
        }
    }
}

TEST(JpegFailure, EndlessScanListsAreCutOff) {
    // 569 scans of single coefficients: the 48th passes 32 visits of every block.
    EXPECT_EQ(decodeOutcome(encodeManyScans(16, 16)), "picture needs too much work: 48 scans over 16\xC3\x97" "16 pixels");
}

TEST(JpegFailure, WarningsAreSilentAndDoNotStopDecoding) {
    Bytes b = encode(bands(5, 16, Space::Rgb, kRedBlue), exact());
    // Junk between the first segment and the next marker: the library warns about
    // extraneous bytes and carries on.
    size_t afterApp0 = 4 + (size_t(b[4]) << 8 | b[5]);
    b.insert(b.begin() + static_cast<long>(afterApp0), {0x12, 0x34, 0x56});
    ::testing::internal::CaptureStderr();
    _Ref<_ImageInfo> image = decode(b);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    expectNear(image->bits, 0, 0, 255, 2, "after a warning");
}

// Inputs the fuzzer found, kept as files under tests/imaging/data.
TEST(JpegFailure, FuzzerFindingsStayFixed) {
    struct Case { const char* file; const char* expected; };
    const Case cases[] = {
        // A Huffman table segment that runs past the end and on into the picture's
        // start again, over and over, once hung the header reader.
        {"jpeg-table-across-the-wrap.jpg", "JPEG format error"},
    };
    for (const Case& c : cases) {
        fs::path path = fs::path(GLIMSEL_SOURCE_DIR) / "tests" / "imaging" / "data" / c.file;
        ASSERT_TRUE(fs::exists(path)) << path;
        const Bytes bytes = TempDir::readBytes(path.string());
        EXPECT_EQ(decodeOutcome(bytes), c.expected) << c.file;
    }
}

// ---- Files ----------------------------------------------------------------------------------

TEST(JpegFile, MissingFileNamesThePath) {
    try {
        loadImage("/nonexistent/picture.jpg", IMAGE_JPEG);
        FAIL() << "decoded";
    } catch (JpegImageException& e) {
        EXPECT_STREQ(e.messageText(), "Can't open file '/nonexistent/picture.jpg'");
    }
}

TEST(JpegFile, FileIsDecodedAndClosed) {
    TempDir dir;
    const std::string good = dir.write("good.jpg", encode(bands(5, 16, Space::Rgb, kRedBlue), exact()));
    const std::string bad = dir.write("bad.jpg", "not a picture");
    int before = openDescriptors();

    _Ref<_ImageInfo> image = loadImage(good.c_str(), IMAGE_JPEG);
    EXPECT_STREQ(image->getName()->c_str(), good.c_str());
    expectNear(image->bits, 0, 0, 255, 2, good);
    EXPECT_EQ(outcome([&] { loadImage(bad.c_str(), IMAGE_JPEG); }), "JPEG format error");
    if (before >= 0) {
        EXPECT_EQ(openDescriptors(), before);  // the record does not keep the file
    }
}

// ---- The picture corpus ----------------------------------------------------------------------

namespace {

fs::path corpus(const char* sub) { return fs::path(GLIMSEL_CORPUS_DIR) / "jpeg" / sub; }

struct Rgb {
    int width = 0, height = 0;
    Bytes pixels;
};

bool readPng(const fs::path& path, Rgb& out) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.string().c_str())) return false;
    png.format = PNG_FORMAT_RGB;
    out.width = static_cast<int>(png.width);
    out.height = static_cast<int>(png.height);
    out.pixels.resize(PNG_IMAGE_SIZE(png));
    return png_image_finish_read(&png, nullptr, out.pixels.data(), 0, nullptr) != 0;
}

}  // namespace

TEST(JpegCorpus, GoodPicturesMatchTheirReferences) {
    if (!fs::exists(corpus("good"))) GTEST_SKIP() << "no picture corpus";
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(corpus("good"))) {
        const fs::path& p = entry.path();
        std::string name = p.filename().string();
        Rgb ref;
        ASSERT_TRUE(readPng(corpus("ref") / (p.stem().string() + ".png"), ref)) << name;
        Bytes bytes = TempDir::readBytes(p.string());
        _Ref<_ImageInfo> image;
        ASSERT_EQ(outcome([&] { image = decode(bytes, name.c_str()); }), "loaded") << name;
        ASSERT_EQ(image->width(), ref.width) << name;
        ASSERT_EQ(image->height(), ref.height) << name;
        int worst = 0;
        double total = 0;
        for (int y = 0; y < ref.height; ++y) {
            for (int x = 0; x < ref.width; ++x) {
                const uint8_t* ours = pixel(*image, x, y);
                const uint8_t* theirs = &ref.pixels[(size_t(y) * ref.width + x) * 3];
                for (int c = 0; c < 3; ++c) {
                    int d = std::abs(int(ours[2 - c]) - int(theirs[c]));
                    worst = std::max(worst, d);
                    total += d;
                }
            }
        }
        double mean = total / (3.0 * ref.width * ref.height);
        EXPECT_LE(worst, 3) << name;
        EXPECT_LE(mean, 0.25) << name;
        ++compared;
    }
    EXPECT_GT(compared, 0);
}

TEST(JpegCorpus, BadPicturesFailAndUncertainOnesNeverCrash) {
    if (!fs::exists(corpus("bad"))) GTEST_SKIP() << "no picture corpus";
    for (const auto& entry : fs::directory_iterator(corpus("bad"))) {
        EXPECT_EQ(decodeOutcome(TempDir::readBytes(entry.path().string())), "JPEG format error") << entry.path().filename();
    }
    for (const auto& entry : fs::directory_iterator(corpus("uncertain"))) {
        Bytes bytes = TempDir::readBytes(entry.path().string());
        std::string result = outcome([&] {
            _Ref<_ImageInfo> image = decode(bytes);
            EXPECT_NE(image->bits, nullptr);
            image->freeImage();
        });
        EXPECT_TRUE(result == "loaded" || result == "JPEG format error") << entry.path().filename() << ": " << result;
    }
}
