// The rules of the emulated message queue, which the X11 and the headless window
// systems share: the quit request, one timer per id, close requests, a window's end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/MessageQueue.h"
#include "platform/headless/HeadlessWindowSystem.h"

using glimsel_ui::MessageQueue;
using glimsel_ui::QueuedMessage;
using glimsel_ui::Rect;
using glimsel_ui::SystemCommand;
using glimsel_ui::WindowEvent;

namespace {

// Records what it is told.
class Probe : public glimsel_ui::Window {
public:
    std::vector<std::string> calls;
    bool swallowCommands = false;

    void onTimer(int id) override { calls.push_back("timer " + std::to_string(id)); }
    void onClose() override {
        calls.push_back("close");
        destroyWindow();
    }
    void onSize(int w, int h) override { calls.push_back("size " + std::to_string(w) + "x" + std::to_string(h)); }
    bool onSysCommand(SystemCommand) override { return swallowCommands; }
    void postNcDestroy() override { calls.push_back("ncdestroy"); }
};

// What the queue hands out next: "close 7", "timer 7/1", "quit 5", "nothing".
std::string next(MessageQueue& q) {
    QueuedMessage m{QueuedMessage::Action};
    switch (q.take(m)) {
        case MessageQueue::Taken::Quit: return "quit " + std::to_string(q.quitCode());
        case MessageQueue::Taken::Nothing: return "nothing";
        case MessageQueue::Taken::Message: break;
    }
    if (m.kind == QueuedMessage::Timer) return "timer " + std::to_string(m.window) + "/" + std::to_string(m.timerId);
    return (m.kind == QueuedMessage::Close ? "close " : "other ") + std::to_string(m.window);
}

}  // namespace

TEST(MessageQueue, OneQuitRequestWithTheLastCodeComesWhenNothingElseIsQueued) {
    MessageQueue q;
    EXPECT_EQ(q.quitCode(), -1);
    q.postQuit(5);
    q.postClose(7);
    q.postQuit(8);
    EXPECT_TRUE(q.waiting());
    EXPECT_EQ(next(q), "close 7");
    EXPECT_EQ(next(q), "quit 8");
    EXPECT_EQ(next(q), "nothing");
    EXPECT_FALSE(q.waiting());
}

TEST(MessageQueue, OneTimerPerIdAndOneTickQueuedAtATime) {
    MessageQueue q;
    q.setTimer(7, 1, 50, 0);
    q.setTimer(7, 1, 30, 0);  // replaces the first
    q.setTimer(9, 1, 40, 0);
    EXPECT_EQ(q.timers(7), (std::map<int, unsigned>{{1, 30}}));
    uint32_t due = 0;
    ASSERT_TRUE(q.nextTimer(due));
    EXPECT_EQ(due, 30u);

    q.collectTimers(100);
    q.collectTimers(200);  // no second tick while one waits
    EXPECT_EQ(next(q), "timer 7/1");
    EXPECT_EQ(next(q), "timer 9/1");
    EXPECT_EQ(next(q), "nothing");

    q.collectTimers(300);
    q.setTimer(7, 1, 30, 300);  // restarting drops the queued tick
    q.killTimer(9, 1);          // and so does killing
    EXPECT_EQ(next(q), "nothing");
    EXPECT_TRUE(q.timers(9).empty());
}

TEST(MessageQueue, TimersSurviveTheClocksWrap) {
    MessageQueue q;
    q.setTimer(7, 1, 0x20, 0xFFFFFFF0u);
    q.collectTimers(0x0Fu);
    EXPECT_EQ(next(q), "nothing");
    q.collectTimers(0x10u);
    EXPECT_EQ(next(q), "timer 7/1");
}

TEST(MessageQueue, DeliveryOfTicksCloseRequestsAndEvents) {
    MessageQueue q;
    Probe w;
    q.setTimer(7, 1, 50, 0);
    q.collectTimers(50);
    QueuedMessage tick{QueuedMessage::Timer, 7};
    tick.timerId = 1;
    q.deliver(w, tick, 60);  // the next period starts at delivery
    uint32_t due = 0;
    ASSERT_TRUE(q.nextTimer(due));
    EXPECT_EQ(due, 110u);
    q.killTimer(7, 1);
    q.deliver(w, tick, 70);  // a tick of a killed timer does nothing

    WindowEvent resized{WindowEvent::Resized};
    resized.x = 30;
    resized.y = 20;
    q.postEvent(7, resized);
    QueuedMessage m{QueuedMessage::Action};
    q.take(m);
    q.deliver(w, m, 80);
    EXPECT_EQ(w.calls, (std::vector<std::string>{"timer 1", "size 30x20"}));

    // The close command's default processing posts a close request; a handler may
    // swallow it.
    WindowEvent close{WindowEvent::SysCommand};
    close.command = SystemCommand::Close;
    QueuedMessage command{QueuedMessage::Event, 7};
    command.event = close;
    q.deliver(w, command, 90);
    EXPECT_EQ(next(q), "close 7");
    w.swallowCommands = true;
    q.deliver(w, command, 90);
    EXPECT_EQ(next(q), "nothing");
}

TEST(MessageQueue, AWindowsEndDropsItsTimersAndMessagesAndTheMainOnesEndsTheLoop) {
    MessageQueue q;
    Probe w;  // not created: its handle is 0
    q.setTimer(0, 1, 10, 0);
    q.setTimer(9, 1, 10, 0);
    q.postClose(0);
    q.postClose(9);
    q.setMainWindow(&w);
    q.windowGone(w);
    EXPECT_TRUE(q.timers(0).empty());
    EXPECT_EQ(q.timers(9).size(), 1u);
    EXPECT_EQ(q.main(), nullptr);
    EXPECT_EQ(next(q), "close 9");
    EXPECT_EQ(next(q), "quit 0");
}

// The same rules through a window system's loop.
class QueueLoopTest : public ::testing::Test {
protected:
    QueueLoopTest() { glimsel_ui::WindowSystem::install(&ws); }
    ~QueueLoopTest() override { glimsel_ui::WindowSystem::install(nullptr); }
    glimsel_headless::HeadlessWindowSystem ws;
    Probe w;
};

TEST_F(QueueLoopTest, QuitComesAfterQueuedMessagesWithTheLastCodePosted) {
    ASSERT_TRUE(w.createWindow(0, glimsel_ui::STYLE_OVERLAPPED | glimsel_ui::STYLE_VISIBLE, Rect{0, 0, 200, 100}, 0));
    ws.postQuit(5);
    w.postClose();
    ws.postQuit(7);
    EXPECT_EQ(ws.runMessageLoop(), 7);
    EXPECT_EQ(w.calls.front(), "close");
    EXPECT_FALSE(w.hasWindow());
}

TEST_F(QueueLoopTest, MainWindowDestructionEndsTheLoopWithZero) {
    ASSERT_TRUE(w.createWindow(0, glimsel_ui::STYLE_POPUP | glimsel_ui::STYLE_VISIBLE, Rect{0, 0, 100, 100}, 0));
    ws.setMainWindow(&w);
    glimsel_ui::NativeWindow id = w.handle();
    w.setTimer(1, 1000);
    w.postClose();
    EXPECT_EQ(ws.runMessageLoop(), 0);
    EXPECT_EQ(w.calls, (std::vector<std::string>{"close", "ncdestroy"}));
    EXPECT_TRUE(ws.timers(id).empty());
}
