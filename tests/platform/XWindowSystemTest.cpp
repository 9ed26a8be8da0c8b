// The X11 window system's own rules, on a virtual server that each test starts:
// timers on the real clock, sleeping waits, windows of other programs, drawing on
// windows that are gone. The queue's rules are tested once, headless.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <algorithm>
#include <csignal>
#include <ctime>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "platform/linux/x11_window_system.h"

using glimsel_ui::Rect;
using glimsel_x11::XWindowSystem;

namespace {

// A virtual server on a free display number, for the lifetime of the object.
class VirtualServer {
public:
    VirtualServer() {
        int fds[2];
        if (pipe(fds) != 0) return;
        pid = fork();
        if (pid == 0) {
            close(fds[0]);
            std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        while (number.find('\n') == std::string::npos && poll(&p, 1, 10000) > 0) {
            char c[16];
            ssize_t n = read(fds[0], c, sizeof c);
            if (n <= 0) break;
            number.append(c, static_cast<size_t>(n));
        }
        close(fds[0]);
        if (number.find('\n') != std::string::npos) name = ":" + number.substr(0, number.find('\n'));
    }
    ~VirtualServer() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
    std::string name;  // empty when no server could be started

private:
    pid_t pid = -1;
};

// Records what the window system calls.
class Probe : public glimsel_ui::Window {
public:
    std::vector<std::string> calls;
    int createResult = 0;
    int timerTicks = 0;
    bool deleted = false;

    int onCreate() override {
        calls.push_back("create");
        return createResult;
    }
    void onTimer(int id) override {
        ++timerTicks;
        calls.push_back("timer " + std::to_string(id));
    }
    void onPaint(glimsel_ui::DeviceContext& dc) override {
        calls.push_back("paint");
        dc.fillBlack(clientRect());
    }
    void onClose() override {
        calls.push_back("close");
        destroyWindow();
    }
    void onDestroy() override { calls.push_back("destroy"); }
    void postNcDestroy() override { calls.push_back("ncdestroy"); }
};

// Ends a message loop that would otherwise run on: posts quit(-2) after its time.
class Deadline : public glimsel_ui::Window {
public:
    explicit Deadline(unsigned ms) {
        createWindow(0, glimsel_ui::STYLE_POPUP, Rect{0, 0, 1, 1}, 0);
        setTimer(1, ms);
    }
    ~Deadline() override { destroyWindow(); }
    void onTimer(int) override { glimsel_ui::WindowSystem::current().postQuit(-2); }
};

double processorSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

class XWindowSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (name().empty()) GTEST_SKIP() << "Xvfb is not available";
        ws = XWindowSystem::open(server.name.c_str());
        ASSERT_NE(ws, nullptr);
        glimsel_ui::WindowSystem::install(ws.get());
    }
    void TearDown() override {
        glimsel_ui::WindowSystem::install(nullptr);
        if (other) XCloseDisplay(other);
    }
    const std::string& name() const { return server.name; }

    // A window of another program, on a connection of its own (`other`); 0 without one.
    ::Window foreignWindow(unsigned width, unsigned height) {
        other = XOpenDisplay(name().c_str());
        if (!other) return 0;
        ::Window host = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, width, height, 0, 0, 0);
        XSync(other, False);
        return host;
    }

    // Dispatches what arrives for `ms` milliseconds, as the flash effect does.
    void pumpFor(uint32_t ms) {
        uint32_t end = ws->tickCount() + ms;
        while (static_cast<int32_t>(end - ws->tickCount()) > 0) {
            while (ws->messageWaiting()) ASSERT_TRUE(ws->dispatchOneMessage()) << "unexpected quit";
            ws->waitForMessage(end - ws->tickCount());
        }
    }

    VirtualServer server;
    std::unique_ptr<XWindowSystem> ws;
    Display* other = nullptr;
};

TEST_F(XWindowSystemTest, TimersTickAtTheirPeriodAndStopWhenKilled) {
    Probe w;
    ASSERT_TRUE(w.createWindow(0, glimsel_ui::STYLE_POPUP | glimsel_ui::STYLE_VISIBLE, Rect{0, 0, 100, 100}, 0));
    w.setTimer(1, 50);
    pumpFor(530);
    EXPECT_GE(w.timerTicks, 8);
    EXPECT_LE(w.timerTicks, 11);
    w.killTimer(1);
    int ticks = w.timerTicks;
    pumpFor(200);
    EXPECT_EQ(w.timerTicks, ticks);
    w.destroyWindow();
}

TEST_F(XWindowSystemTest, WaitingSleepsInsteadOfSpinning) {
    Probe w;
    ASSERT_TRUE(w.createWindow(0, glimsel_ui::STYLE_POPUP | glimsel_ui::STYLE_VISIBLE, Rect{0, 0, 100, 100}, 0));
    w.setTimer(1, 10);  // the fastest show: a tick every 10 ms
    double before = processorSeconds();
    uint32_t start = ws->tickCount();
    pumpFor(1000);
    uint32_t elapsed = ws->tickCount() - start;
    double used = processorSeconds() - before;
    EXPECT_GE(elapsed, 1000u);
    EXPECT_LT(used, 0.25) << "the loop used " << used << " s of processor time in one second";
    EXPECT_GE(w.timerTicks, 50);
    w.destroyWindow();
}

TEST_F(XWindowSystemTest, RefusedCreationLeavesNoWindowAndCallsNoHandler) {
    Probe w;
    w.createResult = -1;
    EXPECT_FALSE(w.createWindow(0, glimsel_ui::STYLE_POPUP | glimsel_ui::STYLE_VISIBLE, Rect{0, 0, 100, 100}, 0));
    EXPECT_FALSE(w.hasWindow());
    EXPECT_EQ(w.calls, std::vector<std::string>{"create"});
}

TEST_F(XWindowSystemTest, ChildOfAnotherProgramsWindowFollowsItAndGoesWithIt) {
    ::Window host = foreignWindow(152, 112);
    ASSERT_NE(host, 0u);
    XMapWindow(other, host);
    XSync(other, False);

    Rect client;
    ASSERT_TRUE(ws->foreignClientRect(host, client));
    EXPECT_EQ(client.width(), 152);
    EXPECT_EQ(client.height(), 112);
    EXPECT_FALSE(ws->foreignClientRect(0x7ffffff, client));  // no such window

    Probe child;
    ASSERT_TRUE(child.createWindow(0, glimsel_ui::STYLE_CHILD | glimsel_ui::STYLE_VISIBLE, Rect{0, 0, 152, 112}, host));
    ws->setMainWindow(&child);
    pumpFor(100);
    XResizeWindow(other, host, 300, 200);
    XSync(other, False);
    pumpFor(200);
    EXPECT_EQ(child.clientRect().width(), 300);
    EXPECT_EQ(child.clientRect().height(), 200);

    testing::internal::CaptureStderr();
    XDestroyWindow(other, host);
    XSync(other, False);
    // Drawing on the window that went with its parent is skipped, not an error.
    child.getDC()->fillBlack(Rect{0, 0, 300, 200});
    Deadline limit(2000);
    EXPECT_EQ(ws->runMessageLoop(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(child.hasWindow());
    EXPECT_EQ(child.calls.back(), "ncdestroy");
}

TEST_F(XWindowSystemTest, ChildOfAWindowThatIsGoneIsNotCreated) {
    ::Window host = foreignWindow(50, 50);
    ASSERT_NE(host, 0u);
    XDestroyWindow(other, host);
    XSync(other, False);
    Probe child;
    EXPECT_FALSE(child.createWindow(0, glimsel_ui::STYLE_CHILD | glimsel_ui::STYLE_VISIBLE, Rect{0, 0, 50, 50}, host));
    EXPECT_TRUE(child.calls.empty());
}

TEST_F(XWindowSystemTest, TextIsMeasuredInTheServersFont) {
    Probe w;
    ASSERT_TRUE(w.createWindow(0, glimsel_ui::STYLE_POPUP | glimsel_ui::STYLE_VISIBLE, Rect{0, 0, 100, 100}, 0));
    auto dc = w.getDC();
    glimsel_ui::Size one = dc->textExtent("x");
    glimsel_ui::Size ten = dc->textExtent("xxxxxxxxxx");
    EXPECT_GT(one.width, 0);
    EXPECT_GT(one.height, 0);
    EXPECT_EQ(ten.width, 10 * one.width);  // the default font is fixed-width
    EXPECT_EQ(dc->textExtent("").width, 0);
    w.destroyWindow();
}

}  // namespace
