// What putting a picture on the screen adds to decoding it: a 1920 by 1080 JPEG is
// decoded by bare libjpeg-turbo (the peer), decoded by the adapter, decoded and rendered
// into memory, and decoded and drawn through the drawing window onto a 1920 by 1080
// window of the X11 window system (the picture fits, so it is decoded straight into the
// window's shared-memory image; then the put, and the wait for the server's last one),
// in turns, with a warm heap and with fresh memory; the median time per picture of each
// is printed with its spread and its ratio to the bare decode, in wall-clock time (what
// the eye sees, the server's work included) and in the program's own processor time
// (steadier on a busy machine). Needs a display of at least that size.
//
//   bench_x11_draw [rounds]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/BareJpeg.h"
#include "bench/BenchKit.h"
#include "bench/FixedProvider.h"
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
    bench::FixedProvider provider;
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
    bench::BareJpeg bare;
    bool keep = true;
    std::vector<std::function<void()>> runs = {
        [&] { bare.decode(jpeg->bytes, keep); },
        [&] { jpeg->getRandomImage()->freeImage(); },
        [&] {
            _Ref<img_lib::_ImageInfo> picture = jpeg->getRandomImage();
            img_lib::drawImage(canvas, img_lib::Rect{0, 0, 1920, 1080}, *picture);
            picture->freeImage();
        },
        [&] {
            std::unique_ptr<glimsel_ui::DeviceContext> dc = window.getDC();
            window.drawNext(*dc);
        }};
    const char* names[] = {"bare libjpeg-turbo decode", "adapter decode", "decode, render into memory",
                           "tick: decode, draw on screen"};
    std::printf("1920x1080 JPEG, ms per picture, median (min-max) of %d rounds taking turns\n", rounds);
    for (bench::Memory m : {bench::Memory::Warm, bench::Memory::Fresh}) {
        keep = m == bench::Memory::Warm;  // with fresh memory nothing is kept, bare libjpeg's buffer neither
        for (bool wall : {true, false}) {
            auto t = bench::interleave(runs, rounds, 1, m, wall ? bench::wallMs : bench::cpuMs);
            std::printf("== %s, %s ==\n", bench::nameOf(m), wall ? "wall clock" : "processor time");
            for (size_t i = 0; i < runs.size(); ++i) {
                std::printf("  %-30s %s   %.3fx the bare decode\n", names[i],
                            bench::format(bench::spreadOf(t[i])).c_str(), 1 / bench::speedup(t[i], t[0]));
            }
        }
    }
    window.destroyWindow();
    glimsel_ui::WindowSystem::install(nullptr);
    return 0;
}
