// The folder source's four choices, each switched on through the "Config" values and
// seen through the drawing window in the headless window system; each switched off
// draws as before.
#include <gtest/gtest.h>

#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "imaging/DrawInPlace.h"
#include "show/DrawWnd.h"
#include "sources/FolderImageDatabase.h"
#include "tests/imaging/ExifTestKit.h"
#include "tests/imaging/JpegSamples.h"
#include "tests/imaging/PngSamples.h"
#include "tests/kit/TempDir.h"
#include "tests/show/FakeImageSource.h"
#include "tests/sources/SourceTestKit.h"

using glimsel_headless::DrawCall;
using torvik_lang::_Ref;

namespace {

class FolderChoices : public ::testing::Test, public EngineFixtureBase {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.ok());
        store.writeString("Config", "Path", dir.path.c_str());
        std::srand(7);
    }
    void TearDown() override {
        if (wnd) wnd->destroyWindow();
    }
    // Makes the source and the window as a run does (closing the window of an earlier
    // run), then lets `ticks` timer ticks pass; the draw log holds this run's calls.
    void run(int ticks, int scale = 100) {
        if (wnd) wnd->destroyWindow();
        wnd.reset();
        ws.drawLog.clear();
        _Ref<_CImageDatabase> db = new _CImageDatabase();
        db->loadFolder();
        provider.source = db;
        wnd = std::make_unique<CDrawWnd>(provider, false);
        wnd->scalePercent = scale;
        ASSERT_TRUE(wnd->createWindow(0, glimsel_ui::STYLE_POPUP | glimsel_ui::STYLE_VISIBLE,
                                      glimsel_ui::Rect{0, 0, 1024, 768}, 0));
        ws.runUntil(ws.now() + static_cast<uint32_t>(1000 * ticks));
    }
    uint32_t pixelAt(const DrawCall& c, int dx, int dy) const { return ws.pixel(wnd->handle(), c.rect.left + dx, c.rect.top + dy); }
    // 32 wide, 16 high: red above blue; the tag says it shows turned a quarter clockwise.
    void writeTaggedPhoto() {
        auto picture = jpeg_samples::bands(32, 16, jpeg_samples::Space::Rgb, {{255, 0, 0}, {0, 0, 255}});
        dir.write("photo.jpg",
                  exif_kit::withExif(jpeg_samples::encode(picture), exif_kit::tiff(false, {{0x0112, 3, 1, 6}})));
    }

    TempDir dir;
    std::unique_ptr<CDrawWnd> wnd;
};

}  // namespace

TEST_F(FolderChoices, UprightTurnsATaggedPhoto) {
    writeTaggedPhoto();
    // At half size the photo is decoded reduced and turned all the same.
    for (int scale : {100, 50}) {
        for (int upright : {0, 1}) {
            SCOPED_TRACE(upright * 1000 + scale);
            store.writeInt("Config", "Upright", upright);
            run(1, scale);
            const auto dibs = calls(DrawCall::Dib);
            ASSERT_EQ(dibs.size(), 1u);
            const DrawCall& c = dibs[0];
            EXPECT_EQ(c.sourceWidth, (upright ? 16 : 32) * scale / 100);
            EXPECT_EQ(c.sourceHeight, (upright ? 32 : 16) * scale / 100);
            EXPECT_EQ(c.rect.width(), (upright ? 16 : 32) * scale / 100);
            EXPECT_EQ(c.rect.height(), (upright ? 32 : 16) * scale / 100);
            // As stored, red is above blue; turned, the bottom (blue) is on the left and the
            // top (red) on the right.
            const int right = c.rect.width() - 3, bottom = c.rect.height() - 3;
            const uint32_t red = upright ? pixelAt(c, right, 2) : pixelAt(c, 2, 2);
            const uint32_t blue = upright ? pixelAt(c, 2, bottom) : pixelAt(c, right, bottom);
            EXPECT_GT(red >> 16, 200u) << std::hex << red;
            EXPECT_LT(red & 0xFF, 50u) << std::hex << red;
            EXPECT_GT(blue & 0xFF, 200u) << std::hex << blue;
            EXPECT_LT(blue >> 16, 50u) << std::hex << blue;
            EXPECT_GT((upright ? pixelAt(c, 2, 2) : pixelAt(c, 2, bottom)) & 0xFF, 200u) << "blue's other corner";
        }
    }
}

TEST_F(FolderChoices, UprightKeepsATaggedPhotoOffTheWindowUntilItIsTurned) {
    writeTaggedPhoto();
    struct Counting : img_lib::PicturePlacer {
        int offers = 0;
        bool place(int, int, img_lib::Canvas&) override { return ++offers, false; }
        void placed(bool) override {}
    };
    for (int upright : {0, 1}) {
        store.writeInt("Config", "Upright", upright);
        _Ref<_CImageDatabase> db = new _CImageDatabase();
        db->loadFolder();
        Counting window;
        img_lib::DrawInPlaceScope scope(&window);
        EXPECT_EQ(db->getRandomImage()->width(), upright ? 16 : 32);
        EXPECT_EQ(window.offers, upright ? 0 : 1);
    }
}

TEST_F(FolderChoices, SubfoldersDrawAPictureBelowTheFolder) {
    std::filesystem::create_directories(dir / "2019/summer");
    dir.write("2019/summer/beach.bmp", sourcetest::greyBmp(21, 13));
    for (int subfolders : {0, 1}) {
        SCOPED_TRACE(subfolders);
        store.writeInt("Config", "Subfolders", subfolders);
        run(1);
        EXPECT_EQ(calls(DrawCall::Dib).size(), subfolders ? 1u : 0u);
        if (subfolders) {
            EXPECT_EQ(calls(DrawCall::Dib)[0].sourceWidth, 21);
        }
    }
}

TEST_F(FolderChoices, NoRepeatsDrawsEveryPictureOnceARound) {
    constexpr int kPictures = 7, kRounds = 6;
    for (int i = 0; i < kPictures; ++i) dir.write("p" + std::to_string(i) + ".bmp", sourcetest::greyBmp(10 + i, 4));
    store.writeInt("Config", "NoRepeats", 1);
    run(kPictures * kRounds);
    const auto dibs = calls(DrawCall::Dib);
    ASSERT_EQ(dibs.size(), size_t(kPictures * kRounds));
    for (int r = 0; r < kRounds; ++r) {
        std::set<int> round;
        for (int i = 0; i < kPictures; ++i) round.insert(dibs[size_t(r * kPictures + i)].sourceWidth);
        EXPECT_EQ(round.size(), size_t(kPictures)) << "round " << r;
    }
    for (size_t i = 1; i < dibs.size(); ++i) EXPECT_NE(dibs[i].sourceWidth, dibs[i - 1].sourceWidth) << i;
}

TEST_F(FolderChoices, MoreTypesDrawsAPngOverBlack) {
    dir.write("leaf.png", png_samples::encode(png_samples::filled(9, 5, PNG_COLOR_TYPE_RGB_ALPHA, {0, 200, 0, 128})));
    for (int moreTypes : {0, 1}) {
        SCOPED_TRACE(moreTypes);
        store.writeInt("Config", "MoreTypes", moreTypes);
        run(1);
        const auto dibs = calls(DrawCall::Dib);
        ASSERT_EQ(dibs.size(), moreTypes ? 1u : 0u);
        if (moreTypes) {
            EXPECT_EQ(pixelAt(dibs[0], 4, 2), 0x006400u);
        }
    }
}
