// The X11 window system's own rules, on a virtual server that each test starts:
// timers on the real clock, sleeping waits, windows of other programs, drawing on
// windows that are gone, and the drawing window's pictures as the window shows them.
// The queue's rules are tested once, headless.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <csignal>
#include <ctime>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "imaging/DibRenderer.h"
#include "platform/headless/MemorySettingsStore.h"
#include "platform/linux/x11_display.h"
#include "platform/linux/x11_framebuffer.h"
#include "platform/linux/x11_window_system.h"
#include "show/DrawWnd.h"
#include "tests/imaging/JpegSamples.h"

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

constexpr unsigned kShown = glimsel_ui::STYLE_POPUP | glimsel_ui::STYLE_VISIBLE;

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
    ASSERT_TRUE(w.createWindow(0, kShown, Rect{0, 0, 100, 100}, 0));
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
    ASSERT_TRUE(w.createWindow(0, kShown, Rect{0, 0, 100, 100}, 0));
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
    EXPECT_FALSE(w.createWindow(0, kShown, Rect{0, 0, 100, 100}, 0));
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
    ASSERT_TRUE(w.createWindow(0, kShown, Rect{0, 0, 100, 100}, 0));
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

namespace {

using jpeg_samples::Bytes;

torvik_lang::_Ref<img_lib::_ImageInfo> decodeJpeg(const Bytes& b) {
    return img_lib::loadImage(b.data(), static_cast<int>(b.size()), img_lib::IMAGE_JPEG, "x");
}

// Tries its files in turn, as a folder source tries pictures until one decodes, and
// keeps the record it hands out.
class FilesInTurn : public torvik_lang::_Object, public _IImageDatabase, public IImageSourceProvider {
public:
    std::vector<const Bytes*> files;
    torvik_lang::_Ref<img_lib::_ImageInfo> last;
    torvik_lang::_Ref<img_lib::_ImageInfo> getRandomImage() override {
        for (const Bytes* f : files) {
            try {
                return last = decodeJpeg(*f);
            } catch (img_lib::ImageException&) {
            }
        }
        return last = new img_lib::_ImageInfo();
    }
    int getImageCount() override { return 1; }
    torvik_lang::_Ref<_IImageDatabase> currentImageSource() override { return this; }
};

}  // namespace

TEST_F(XWindowSystemTest, PicturesOnTheWindowAreTheRenderersPixels) {
    glimsel_headless::MemorySettingsStore store;
    glimsel_settings::installSettingsStore(&store);
    store.writeInt("Config", "Speed", 0);  // no tick of its own during the test
    const Bytes fits = jpeg_samples::encode(jpeg_samples::photoLike(200, 120));
    const Bytes larger = jpeg_samples::encode(jpeg_samples::photoLike(400, 260));
    const Bytes whole = jpeg_samples::encode(jpeg_samples::photoLike(150, 90));
    const Bytes broken(whole.begin(), whole.begin() + static_cast<long>(whole.size() / 2));
    // A picture inside the window goes there as it is decoded; a larger one is clipped
    // at the edges by the renderer; one that fails after its rows went to the window
    // leaves nothing there, and the next one takes the place drawn after it.
    struct Case { const char* name; std::vector<const Bytes*> files; int placesBefore; bool inPlace; };
    const Case cases[] = {{"inside", {&fits}, 0, true},
                          {"clipped", {&larger}, 0, false},
                          {"after a failure", {&broken, &fits}, 1, true}};
    constexpr int W = 320, H = 200;
    for (const Case& c : cases) {
        torvik_lang::_Ref<FilesInTurn> source = new FilesInTurn();
        source->files = c.files;
        CDrawWnd window(*source, false);
        ASSERT_TRUE(window.createWindow(0, kShown, Rect{0, 0, W, H}, 0));
        pumpFor(300);  // mapped and painted black
        std::srand(7);
        window.drawNext(*window.getDC());

        // The same picture drawn by the renderer where the same random numbers put it.
        std::srand(7);
        for (int i = 0; i < 2 * c.placesBefore; ++i) std::rand();
        torvik_lang::_Ref<img_lib::_ImageInfo> record = decodeJpeg(*c.files.back());
        const int x = std::rand() % (W - record->width()), y = std::rand() % (H - record->height());
        std::vector<uint32_t> expected(W * H, 0);
        img_lib::drawImage(img_lib::Canvas{expected.data(), W, H, W},
                           img_lib::Rect{x, y, record->width(), record->height()}, *record);
        EXPECT_EQ(source->last->drawnInPlace, c.inPlace) << c.name;

        // What the window shows, and what it keeps to show again when it is uncovered.
        XWindowSystem::Surface surface;
        ASSERT_TRUE(ws->surface(window.handle(), surface));
        const img_lib::Canvas kept = surface.framebuffer->canvas();
        XImage* screen = XGetImage(ws->x().display, surface.xid, 0, 0, W, H, AllPlanes, ZPixmap);
        ASSERT_NE(screen, nullptr);
        int wrongOnScreen = 0, wrongKept = 0;
        for (int py = 0; py < H; ++py) {
            for (int px = 0; px < W; ++px) {
                const uint32_t want = expected[size_t(py) * W + px];
                wrongOnScreen += XGetPixel(screen, px, py) != want;
                wrongKept += (kept.pixels[size_t(py) * kept.stride + px] & 0xFFFFFF) != want;
            }
        }
        XDestroyImage(screen);
        EXPECT_EQ(wrongOnScreen, 0) << c.name;
        EXPECT_EQ(wrongKept, 0) << c.name;
        window.destroyWindow();
    }
    glimsel_settings::installSettingsStore(nullptr);
}
