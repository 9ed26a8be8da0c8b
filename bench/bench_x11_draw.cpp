// What putting a picture on the screen adds to decoding it: a 1920 by 1080 JPEG is
// decoded alone, and decoded and drawn through the drawing window onto a 1920 by 1080
// window of the X11 window system (renderer, shared-memory put, waiting for the server),
// alternately, and the median time per picture of each is printed with the share the
// drawing adds. Needs a display of at least that size.
//
//   bench_x11_draw [rounds]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "imaging/DibRenderer.h"
#include "imaging/ImageInfo.h"
#include "platform/headless/MemorySettingsStore.h"
#include "platform/linux/x11_window_system.h"
#include "show/DrawWnd.h"
#include "tests/imaging/JpegSamples.h"

using torvik_lang::_Ref;

namespace {

// Decodes the same JPEG for every request, as a source reading it from a file does.
class JpegSource : public torvik_lang::_Object, public _IImageDatabase {
public:
    std::vector<uint8_t> bytes;
    _Ref<img_lib::_ImageInfo> getRandomImage() override {
        return img_lib::loadImage(bytes.data(), static_cast<int>(bytes.size()), img_lib::IMAGE_JPEG, "bench");
    }
    int getImageCount() override { return 1; }
};

class Provider : public IImageSourceProvider {
public:
    _Ref<_IImageDatabase> source;
    _Ref<_IImageDatabase> currentImageSource() override { return source; }
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Wall time and the program's own processor time (the server's work is not in it).
struct Clock {
    std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
    std::clock_t cpu = std::clock();
};

double wallMillis(const Clock& c) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - c.wall).count();
}

double cpuMillis(const Clock& c) { return 1000.0 * static_cast<double>(std::clock() - c.cpu) / CLOCKS_PER_SEC; }

struct Series {
    std::vector<double> wall;
    std::vector<double> cpu;
    void add(const Clock& c) {
        wall.push_back(wallMillis(c));
        cpu.push_back(cpuMillis(c));
    }
};

}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 30;
    std::unique_ptr<glimsel_x11::XWindowSystem> ws = glimsel_x11::XWindowSystem::open(nullptr);
    if (!ws) {
        std::fprintf(stderr, "bench_x11_draw: cannot open display\n");
        return 1;
    }
    glimsel_ui::WindowSystem::install(ws.get());
    glimsel_headless::MemorySettingsStore store;
    glimsel_settings::installSettingsStore(&store);
    store.writeInt("Config", "Speed", 0);  // the timer stays out of the way: we draw ourselves
    store.writeInt("Config", "flashSleep", -1);

    _Ref<JpegSource> jpeg = new JpegSource();
    jpeg_samples::Options options;
    options.quality = 90;
    jpeg->bytes = jpeg_samples::encode(jpeg_samples::photoLike(1920, 1080), options);
    Provider provider;
    provider.source = jpeg;

    CDrawWnd window(provider, false);
    if (!window.createWindow(glimsel_ui::EXSTYLE_NONE, glimsel_ui::STYLE_POPUP | glimsel_ui::STYLE_VISIBLE,
                             glimsel_ui::Rect{0, 0, 1920, 1080}, 0)) {
        std::fprintf(stderr, "bench_x11_draw: no window\n");
        return 1;
    }
    // Mapped and painted black before the clock starts.
    for (int i = 0; i < 20; ++i) {
        while (ws->messageWaiting()) ws->dispatchOneMessage();
        ws->waitForMessage(10);
    }

    std::vector<uint32_t> memory(1920 * 1080);
    img_lib::Canvas canvas{memory.data(), 1920, 1080, 1920};
    Series decode;
    Series render;
    Series tick;
    for (int i = 0; i < rounds + 2; ++i) {
        bool counted = i >= 2;  // the first rounds warm the caches
        Clock start;
        _Ref<img_lib::_ImageInfo> picture = jpeg->getRandomImage();
        picture->freeImage();
        if (counted) decode.add(start);
        start = Clock();
        picture = jpeg->getRandomImage();
        img_lib::drawImage(canvas, img_lib::Rect{0, 0, 1920, 1080}, *picture);
        picture->freeImage();
        if (counted) render.add(start);
        start = Clock();
        std::unique_ptr<glimsel_ui::DeviceContext> dc = window.getDC();
        window.drawNext(*dc);
        if (counted) tick.add(start);
    }
    std::printf("1920x1080 JPEG, median of %d rounds (wall / processor time of the program):\n", rounds);
    std::printf("  decode alone                  %5.1f / %5.1f ms\n", median(decode.wall), median(decode.cpu));
    auto row = [&](const char* what, const Series& s) {
        double w = median(s.wall);
        double c = median(s.cpu);
        std::printf("  %-29s %5.1f / %5.1f ms   adds %4.1f %% / %4.1f %%\n", what, w, c,
                    100.0 * (w - median(decode.wall)) / median(decode.wall),
                    100.0 * (c - median(decode.cpu)) / median(decode.cpu));
    };
    row("decode, render into memory", render);
    row("tick: decode, draw on screen", tick);
    window.destroyWindow();
    glimsel_ui::WindowSystem::install(nullptr);
    return 0;
}
