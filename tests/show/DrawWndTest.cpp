#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "show/DrawWnd.h"
#include "tests/show/FakeImageSource.h"

using glimsel_headless::DrawCall;
using glimsel_ui::Rect;

namespace {

class DrawWndTest : public ::testing::Test, public EngineFixtureBase {
protected:
    // A drawing window that its owner deletes, as the settings sheet's preview.
    CDrawWnd* make(int width = 1024, int height = 768, int scale = 100) {
        wnd = std::make_unique<CDrawWnd>(provider, false);
        wnd->scalePercent = scale;
        EXPECT_TRUE(wnd->createWindow(0, glimsel_ui::STYLE_POPUP | glimsel_ui::STYLE_VISIBLE,
                                      Rect{0, 0, width, height}, 0));
        return wnd.get();
    }
    void TearDown() override {
        if (wnd) wnd->destroyWindow();
    }
    std::unique_ptr<CDrawWnd> wnd;
};

}  // namespace

TEST(DrawWndPeriod, FollowsSpeedFormula) {
    struct Case {
        int speed;
        unsigned period;
    } cases[] = {{0, 10000}, {1, 9820}, {10, 8200}, {25, 5500}, {49, 1180}, {50, 1000},
                 {51, 981},  {60, 802}, {75, 505},  {90, 208},  {99, 30},   {100, 10}};
    for (const Case& c : cases) EXPECT_EQ(CDrawWnd::timerPeriod(c.speed), c.period) << "speed " << c.speed;
    // Positions the bar never writes behave like its ends.
    EXPECT_EQ(CDrawWnd::timerPeriod(-5), 10000u);
    EXPECT_EQ(CDrawWnd::timerPeriod(250), 10u);
}

TEST(DrawWndPalette, IsThreeThreeTwoCube) {
    auto p = CDrawWnd::drawingPalette();
    EXPECT_EQ(p[0].red, 0);
    EXPECT_EQ(p[7].red, 224);
    EXPECT_EQ(p[8].green, 32);
    EXPECT_EQ(p[63].green, 224);
    EXPECT_EQ(p[64].blue, 64);
    EXPECT_EQ(p[255].blue, 192);
    EXPECT_EQ(p[255].red, 224);
    EXPECT_EQ(p[100].flags, 0);
}

TEST_F(DrawWndTest, ReadsSpeedAndFlashWhenCreated) {
    store.writeInt("Config", "Speed", -5);
    store.writeInt("Config", "flashSleep", 20);
    CDrawWnd* w = make();
    EXPECT_EQ(ws.timers(w->handle()).at(CDrawWnd::TIMER_ID), 10000u);
    EXPECT_EQ(w->flashSleep, 20);
}

TEST_F(DrawWndTest, DefaultsOnFirstRun) {
    CDrawWnd* w = make();
    EXPECT_EQ(ws.timers(w->handle()).at(CDrawWnd::TIMER_ID), 1000u);
    EXPECT_EQ(w->flashSleep, -1);
}

TEST_F(DrawWndTest, FirstRequestPaintsBlackThenPictures) {
    make(640, 480);
    ws.runUntil(0);  // the first paint
    ASSERT_EQ(calls(DrawCall::Fill).size(), 1u);
    EXPECT_EQ(calls(DrawCall::Fill)[0].rect.width(), 640);
    EXPECT_EQ(calls(DrawCall::Dib).size(), 0u);
    ws.runUntil(1000);  // the first tick
    EXPECT_EQ(calls(DrawCall::Dib).size(), 1u);
    EXPECT_EQ(fake->handedOut, 1);
}

struct PlacementCase {
    int pictureW, pictureH, scale;
    int drawnW, drawnH, maxX, maxY;
};

class DrawWndPlacement : public DrawWndTest, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(DrawWndPlacement, StaysInItsRange) {
    PlacementCase c = GetParam();
    fake->fallback = FakePicture{c.pictureW, c.pictureH};
    store.writeInt("Config", "Speed", 100);
    make(1024, 768, c.scale);
    std::srand(7);
    ws.runUntil(10 * 400);
    auto dibs = calls(DrawCall::Dib);
    ASSERT_GE(dibs.size(), 300u);
    int minX = 1 << 30, maxX = -1, minY = 1 << 30, maxY = -1;
    for (const auto& d : dibs) {
        EXPECT_EQ(d.rect.width(), c.drawnW);
        EXPECT_EQ(d.rect.height(), c.drawnH);
        minX = std::min(minX, d.rect.left);
        maxX = std::max(maxX, d.rect.left);
        minY = std::min(minY, d.rect.top);
        maxY = std::max(maxY, d.rect.top);
    }
    EXPECT_GE(minX, 0);
    EXPECT_LE(maxX, c.maxX);
    EXPECT_GE(minY, 0);
    EXPECT_LE(maxY, c.maxY);
    // Enough draws reach close to both ends of the range.
    if (c.maxX > 0) {
        EXPECT_GT(maxX, c.maxX * 9 / 10);
    }
    if (c.maxY > 0) {
        EXPECT_GT(maxY, c.maxY * 9 / 10);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DrawWndPlacement,
                         ::testing::Values(PlacementCase{400, 300, 100, 400, 300, 623, 467},
                                           PlacementCase{400, 300, 14, 56, 42, 967, 725},
                                           PlacementCase{2000, 1000, 100, 2000, 1000, 975, 231},
                                           PlacementCase{1024, 768, 100, 1024, 768, 0, 0},
                                           PlacementCase{1025, 100, 100, 1025, 100, 0, 667}));

TEST_F(DrawWndTest, EmptySourceWritesTextEveryTick) {
    fake->fallback = FakePicture{0, 0};
    make();
    ws.runUntil(3000);
    auto texts = calls(DrawCall::Text);
    ASSERT_EQ(texts.size(), 3u);
    for (const auto& t : texts) EXPECT_EQ(t.text, "Can't display: No images in system");
}

TEST_F(DrawWndTest, FlashSleepZeroStillDrawsThirtySteps) {
    store.writeInt("Config", "flashSleep", 0);
    fake->fallback = FakePicture{300, 150};
    make();
    ws.runUntil(1000);
    auto dibs = calls(DrawCall::Dib);
    ASSERT_EQ(dibs.size(), 31u);
    EXPECT_EQ(dibs[0].rect.width(), 0);  // step 0 has no size
    EXPECT_EQ(dibs[15].rect.width(), 150);
    EXPECT_EQ(dibs[15].rect.height(), 75);
    // Each step is centred on the picture.
    EXPECT_EQ(dibs[15].rect.left - dibs[30].rect.left, 150 / 2 - 150 / 2 + 75);
    EXPECT_EQ(dibs[30].rect.width(), 300);
}

TEST_F(DrawWndTest, NoFlashDrawsOnce) {
    make();
    ws.runUntil(1000);
    EXPECT_EQ(calls(DrawCall::Dib).size(), 1u);
}

TEST_F(DrawWndTest, TickDuringFlashIsDropped) {
    store.writeInt("Config", "flashSleep", 100);  // a flash takes 3000 ms
    make();                                         // ticks every 1000 ms
    ws.runUntil(1000);
    // The flash started by the tick at 1000 pumps the messages of its 3000 ms: the
    // ticks at 2000 and 3000 arrive meanwhile and draw nothing.
    EXPECT_EQ(ws.now(), 4000u);
    EXPECT_EQ(fake->handedOut, 1);
    EXPECT_EQ(calls(DrawCall::Dib).size(), 31u);
}

TEST_F(DrawWndTest, PictureAfterFlashComesAtNextTick) {
    store.writeInt("Config", "flashSleep", 90);  // a flash takes 2700 ms
    make();
    ws.runUntil(1000);
    // The flash of the tick at 1000 ends at 3700; the ticks at 2000 and 3000 were
    // dropped; the next picture comes with the tick at 4000.
    EXPECT_EQ(ws.now(), 3700u);
    EXPECT_EQ(fake->handedOut, 1);
    size_t firstPicture = calls(DrawCall::Dib).size();
    ws.runUntil(3999);
    EXPECT_EQ(fake->handedOut, 1);
    ws.runUntil(4000);
    EXPECT_EQ(fake->handedOut, 2);
    EXPECT_EQ(calls(DrawCall::Dib)[firstPicture].clock, 4000u);
}

TEST_F(DrawWndTest, PictureMemoryIsFreedAfterDrawing) {
    make();
    ws.runUntil(1000);
    // The fake source keeps nothing; a leak would show under the sanitizers. The engine
    // drew the picture with its own size.
    auto dibs = calls(DrawCall::Dib);
    ASSERT_EQ(dibs.size(), 1u);
    EXPECT_EQ(dibs[0].sourceWidth, 400);
    EXPECT_EQ(dibs[0].sourceHeight, 300);
}

TEST_F(DrawWndTest, CoreHeaderPictureKeepsItsSize) {
    fake->fallback = FakePicture{300, 200, true};
    make(1024, 768, 50);
    ws.runUntil(1000);
    auto dibs = calls(DrawCall::Dib);
    ASSERT_EQ(dibs.size(), 1u);
    EXPECT_EQ(dibs[0].rect.width(), 150);
    EXPECT_EQ(dibs[0].rect.height(), 100);
}

TEST_F(DrawWndTest, PicturesDecodedSmallLandWhereTheWholePictureWould) {
    // At 36 % and 14 % a 1001 by 601 picture comes decoded at a half and a quarter of
    // its size and is stretched over the rectangle the whole picture takes; the saver
    // at 100 % gets it whole.
    struct Case { int scale; int sourceWidth; int sourceHeight; };
    for (Case c : {Case{36, 501, 301}, Case{14, 251, 151}, Case{100, 1001, 601}}) {
        SCOPED_TRACE(c.scale);
        fake->fallback = FakePicture{1001, 601, false, true};
        make(1024, 768, c.scale);
        ws.runUntil(ws.now() + 1000);
        auto dibs = calls(DrawCall::Dib);
        ASSERT_EQ(dibs.size(), 1u);
        EXPECT_EQ(dibs[0].rect.width(), 1001 * c.scale / 100);
        EXPECT_EQ(dibs[0].rect.height(), 601 * c.scale / 100);
        EXPECT_EQ(dibs[0].sourceWidth, c.sourceWidth);
        EXPECT_EQ(dibs[0].sourceHeight, c.sourceHeight);
        wnd->destroyWindow();
        wnd.reset();
        ws.drawLog.clear();
    }
}

TEST_F(DrawWndTest, SpeedChangeRestartsTimer) {
    CDrawWnd* w = make();
    ws.runUntil(500);
    w->setSpeed(100);
    EXPECT_EQ(ws.timers(w->handle()).at(CDrawWnd::TIMER_ID), 10u);
    ws.runUntil(510);
    EXPECT_EQ(fake->handedOut, 1);
}

TEST_F(DrawWndTest, NullSourceAbandonsTheRequest) {
    provider.source = nullptr;
    make();
    ws.runUntil(2000);
    EXPECT_EQ(calls(DrawCall::Dib).size(), 0u);
}

TEST_F(DrawWndTest, FrameShowsBlackBackgroundAndThePictureGrowingAtItsPlace) {
    const uint32_t BLACK = 0, GREY = FAKE_SHADE * 0x010101u;
    store.writeInt("Config", "flashSleep", 10);  // flash steps 10 ms apart
    fake->fallback = FakePicture{300, 150};
    glimsel_ui::NativeWindow id = make(640, 480)->handle();
    // What should be black beside a rectangle is outside the window where it has none.
    auto beside = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < 640 && y < 480 ? BLACK : glimsel_headless::HeadlessWindowSystem::UNPAINTED;
    };
    ws.runUntil(0);
    EXPECT_EQ(ws.pixel(id, 0, 0), BLACK);
    EXPECT_EQ(ws.pixel(id, 639, 479), BLACK);

    // Half-way through the flash (step 15 of 30, drawn at 1150) only the half-size
    // rectangle in the picture's middle shows.
    bool sampled = false;
    ws.scheduleAction(1155, [&] {
        sampled = true;
        Rect step = calls(DrawCall::Dib).back().rect;
        ASSERT_EQ(step.width(), 150);
        EXPECT_EQ(ws.pixel(id, step.left, step.top), GREY);
        EXPECT_EQ(ws.pixel(id, step.right - 1, step.bottom - 1), GREY);
        EXPECT_EQ(ws.pixel(id, step.left - 75 / 2, step.top), BLACK);
    });
    ws.runUntil(1500);
    EXPECT_TRUE(sampled);
    Rect whole = calls(DrawCall::Dib).back().rect;
    ASSERT_EQ(whole.width(), 300);
    EXPECT_EQ(ws.pixel(id, whole.left, whole.top), GREY);
    EXPECT_EQ(ws.pixel(id, whole.right - 1, whole.bottom - 1), GREY);
    EXPECT_EQ(ws.pixel(id, whole.left - 1, whole.top), beside(whole.left - 1, whole.top));
    EXPECT_EQ(ws.pixel(id, whole.right, whole.bottom - 1), beside(whole.right, whole.bottom - 1));
}

TEST_F(DrawWndTest, LongDecodesAnswerInputMeanwhile) {
    // A window that notes when it is closed, and what had been drawn by then.
    struct Probe : glimsel_ui::Window {
        explicit Probe(std::function<size_t()> pictures) : pictures(std::move(pictures)) {}
        std::function<size_t()> pictures;
        bool gone = false;
        size_t drawnBefore = 0;
        void onDestroy() override {
            gone = true;
            drawnBefore = pictures();
        }
    };
    enum What { OtherInput, OwnClose, Quit, TicksOfTwoWindows };
    struct Case { What what; int exitCode; size_t pictures; };
    for (Case c : {Case{OtherInput, -1, 1}, Case{OwnClose, -1, 0}, Case{Quit, 7, 0}, Case{TicksOfTwoWindows, -1, 1}}) {
        SCOPED_TRACE(c.what);
        Probe probe([&] { return calls(DrawCall::Dib).size(); });
        ASSERT_TRUE(probe.createWindow(0, glimsel_ui::STYLE_POPUP, Rect{0, 0, 10, 10}, 0));
        CDrawWnd other(provider, false);
        make()->pauseEveryMs = 0;
        ws.runUntil(ws.now());  // the black background
        ws.drawLog.clear();
        fake->deepest = 0;
        bool once = false;
        fake->duringDecode = [&] {
            if (once) return;
            once = true;
            switch (c.what) {
                case OtherInput: ws.postClose(probe); break;
                case OwnClose: ws.postClose(*wnd); break;
                case Quit: ws.postQuit(7); break;
                case TicksOfTwoWindows:
                    ASSERT_TRUE(other.createWindow(0, glimsel_ui::STYLE_POPUP, Rect{0, 0, 100, 100}, 0));
                    ws.advance(1000);  // both windows' ticks come due
                    break;
            }
        };
        const uint32_t tick = ws.now() + 1000;
        // A quit request waits for the loop: the picture is given up, the run ends.
        EXPECT_EQ(ws.runUntil(tick), c.exitCode);
        EXPECT_EQ(calls(DrawCall::Dib).size(), c.pictures);
        EXPECT_EQ(probe.gone, c.what == OtherInput);
        EXPECT_EQ(probe.drawnBefore, 0u);  // answered before the picture was drawn
        EXPECT_EQ(ws.windowExists(wnd->handle()), c.what != OwnClose);
        EXPECT_EQ(fake->deepest, 1);  // no picture starts while another decodes
        if (other.handle()) other.destroyWindow();
        if (!probe.gone) probe.destroyWindow();
        wnd->destroyWindow();
        wnd.reset();
        fake->duringDecode = nullptr;
    }
}
