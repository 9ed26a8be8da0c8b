#include <gtest/gtest.h>

#include "show/SaverWnd.h"
#include "tests/show/FakeImageSource.h"

using glimsel_headless::DrawCall;
using glimsel_headless::InputEvent;
using glimsel_ui::MouseButton;
using glimsel_ui::SystemCommand;

namespace {

InputEvent moveTo(int x, int y) {
    InputEvent e{InputEvent::MouseMove};
    e.x = x;
    e.y = y;
    return e;
}

InputEvent buttonEvent(MouseButton b) {
    InputEvent e{InputEvent::Button};
    e.button = b;
    return e;
}

InputEvent commandEvent(SystemCommand c) {
    InputEvent e{InputEvent::SysCommand};
    e.command = c;
    return e;
}

class SaverWndTest : public ::testing::Test, public EngineFixtureBase {
protected:
    // Starts a saver run (it deletes itself when its window goes).
    CSaverWnd* start(bool test = false) {
        CSaverWnd* w = new CSaverWnd(provider, test);
        EXPECT_TRUE(w->createSaverWindow());
        ws.setMainWindow(w);
        return w;
    }
    // Runs until the saver ends or 10 s have passed; the exit code or -1.
    int run() { return ws.runUntil(10000); }
};

}  // namespace

TEST_F(SaverWndTest, CoversTheScreenOnTop) {
    CSaverWnd* w = start();
    auto* r = ws.record(w->handle());
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->exStyle, glimsel_ui::EXSTYLE_TOPMOST);
    EXPECT_EQ(r->style, glimsel_ui::STYLE_POPUP | glimsel_ui::STYLE_VISIBLE);
    EXPECT_EQ(r->rect.width(), 1024);
    EXPECT_EQ(r->rect.height(), 768);
    w->destroyWindow();
}

TEST_F(SaverWndTest, TestModeIsAnOrdinaryWindow) {
    CSaverWnd* w = start(true);
    auto* r = ws.record(w->handle());
    EXPECT_EQ(r->exStyle, 0u);
    EXPECT_EQ(r->style, glimsel_ui::STYLE_VISIBLE);
    EXPECT_EQ(r->rect.width(), 800);
    EXPECT_EQ(r->rect.height(), 600);
    w->destroyWindow();
}

TEST_F(SaverWndTest, FirstMouseReportOnlyRecords) {
    CSaverWnd* w = start();
    ws.scheduleInput(100, moveTo(500, 400));
    ws.scheduleInput(200, moveTo(500, 400));
    EXPECT_EQ(run(), -1);  // still running
    w->destroyWindow();    // the window deletes itself
}

TEST_F(SaverWndTest, OnePixelFromFirstReportEnds) {
    start();
    ws.scheduleInput(100, moveTo(500, 400));
    ws.scheduleInput(200, moveTo(501, 400));
    EXPECT_EQ(run(), 0);
    EXPECT_LT(ws.now(), 1000u);
}

TEST_F(SaverWndTest, ComparesWithFirstReportNotPrevious) {
    CSaverWnd* w = start();
    ws.scheduleInput(100, moveTo(10, 10));
    ws.runUntil(150);
    EXPECT_EQ(w->lastMousePos.x, 10);
    ws.scheduleInput(200, moveTo(10, 11));
    EXPECT_EQ(run(), 0);
}

struct EndingCase {
    char const* name;
    InputEvent event;
    bool endsSaver;
    bool endsTest;
};

class SaverEnding : public SaverWndTest, public ::testing::WithParamInterface<EndingCase> {};

TEST_P(SaverEnding, FollowsTheInputTable) {
    EndingCase c = GetParam();
    for (bool test : {false, true}) {
        ws.drawLog.clear();
        start(test);
        ws.scheduleInput(ws.now() + 100, c.event);
        int code = ws.runUntil(ws.now() + 3000);
        EXPECT_EQ(code, (test ? c.endsTest : c.endsSaver) ? 0 : -1) << c.name << (test ? " in test mode" : "");
        if (code == -1) {
            // Still running: end it for the next round.
            ws.scheduleInput(ws.now() + 1, buttonEvent(MouseButton::Left));
            EXPECT_EQ(ws.runUntil(ws.now() + 1000), 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, SaverEnding,
    ::testing::Values(EndingCase{"left click", buttonEvent(MouseButton::Left), true, true},
                      EndingCase{"right click", buttonEvent(MouseButton::Right), true, false},
                      EndingCase{"middle click", buttonEvent(MouseButton::Middle), true, false},
                      EndingCase{"key", InputEvent{InputEvent::Key}, true, false},
                      EndingCase{"system key", InputEvent{InputEvent::SystemKey}, true, false},
                      EndingCase{"deactivation", InputEvent{InputEvent::Activate}, true, false},
                      EndingCase{"other application", InputEvent{InputEvent::ActivateApp}, true, false},
                      EndingCase{"close command", commandEvent(SystemCommand::Close), false, false},
                      EndingCase{"second start", commandEvent(SystemCommand::ScreenSave), false, false}));

TEST_F(SaverWndTest, RefusesFrameDeactivationAndHidesPointer) {
    CSaverWnd* w = start();
    EXPECT_FALSE(w->onNcActivate(false));
    EXPECT_TRUE(w->onNcActivate(true));
    EXPECT_TRUE(w->onSetCursor());
    w->destroyWindow();
}

TEST_F(SaverWndTest, ClosingDuringFlashEndsWith88) {
    store.writeInt("Config", "flashSleep", 50);  // a flash takes 1500 ms
    start();
    ws.scheduleInput(1200, InputEvent{InputEvent::Key});  // inside the first flash
    EXPECT_EQ(run(), 88);
    EXPECT_LT(ws.now(), 2500u);
}

TEST_F(SaverWndTest, ClosingBetweenPicturesEndsWith0) {
    store.writeInt("Config", "flashSleep", 50);
    start();
    ws.scheduleInput(2700, InputEvent{InputEvent::Key});  // after the first flash
    EXPECT_EQ(run(), 0);
}

TEST_F(SaverWndTest, DrawsPicturesUntilEnded) {
    store.writeInt("Config", "Speed", 100);
    start();
    ws.scheduleInput(1000, InputEvent{InputEvent::Key});
    EXPECT_EQ(run(), 0);
    EXPECT_GE(calls(DrawCall::Dib).size(), 90u);
}

TEST_F(SaverWndTest, TwoEnginesRunSideBySide) {
    Provider testProvider;
    torvik_lang::_Ref<FakeImageSource> testSource = new FakeImageSource();
    testSource->fallback = FakePicture{50, 40};
    testProvider.source = testSource;
    glimsel_ui::NativeWindow saver = start()->handle();  // 400 x 300 pictures, the main window
    CSaverWnd* test = new CSaverWnd(testProvider, true);
    ASSERT_TRUE(test->createSaverWindow());
    glimsel_ui::NativeWindow tester = test->handle();

    ws.scheduleInput(2500, InputEvent{InputEvent::Key}, tester);  // a test run ignores keys
    ws.scheduleInput(3500, InputEvent{InputEvent::Key}, saver);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(ws.now(), 3500u);
    EXPECT_FALSE(ws.windowExists(saver));
    ASSERT_TRUE(ws.windowExists(tester));
    ws.runUntil(6000);  // the other engine goes on alone

    auto drawnBy = [&](glimsel_ui::NativeWindow w, int width) {
        int count = 0;
        for (const auto& d : calls(DrawCall::Dib)) {
            if (d.window != w) continue;
            EXPECT_EQ(d.rect.width(), width);
            ++count;
        }
        return count;
    };
    EXPECT_EQ(drawnBy(saver, 400), 3);
    EXPECT_EQ(drawnBy(tester, 50), 6);
    EXPECT_EQ(fake->handedOut, 3);
    EXPECT_EQ(testSource->handedOut, 6);
    test->destroyWindow();
}
