// How long a tick holds up the user with a folder of 24-megapixel JPEGs. A key press
// that arrives during a tick waits for the next look at the input: the longest stretch
// of a tick without one is what the user can wait ("waits"). The drawing window at the
// sheet's 36 %, the desktop pane's 14 % and the saver's 100 % (headless, so the time is
// the picture's: reading, decoding, placing) takes turns with a tick that decodes the
// picture whole, as every tick did before pictures were decoded at the scale they are
// drawn at, and with bare libjpeg-turbo decoding it whole. Prints the median and the
// spread of the processor milliseconds of each (the wall clock of a busy machine says
// more about the machine), with a warm heap and fresh memory, and of the waits.
//
//   bench_preview [rounds]
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BareJpeg.h"
#include "bench/BenchKit.h"
#include "bench/FixedProvider.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "platform/headless/MemorySettingsStore.h"
#include "show/DrawWnd.h"
#include "sources/FolderImageDatabase.h"
#include "tests/imaging/JpegSamples.h"

using torvik_lang::_Ref;

namespace {

std::vector<uint8_t> writeJpeg(const std::string& path, int width, int height) {
    jpeg_samples::Options options;
    options.quality = 90;
    std::vector<uint8_t> bytes = jpeg_samples::encode(jpeg_samples::photoLike(width, height), options);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

}  // namespace

// Notes the longest stretch between two looks at the input.
class WatchedWindowSystem : public glimsel_headless::HeadlessWindowSystem {
public:
    using HeadlessWindowSystem::HeadlessWindowSystem;
    bool messageWaiting() override {
        look();
        return HeadlessWindowSystem::messageWaiting();
    }
    void look() {
        const double now = bench::wallMs();
        longest = std::max(longest, now - last);
        last = now;
    }
    void startWatch() {
        last = bench::wallMs();
        longest = 0;
    }
    double last = 0;
    double longest = 0;
};

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 9;
    char folder[] = "/tmp/glimsel-preview-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    const std::string dir = folder;
    // One landscape and one portrait picture; each tick draws either.
    std::vector<std::vector<uint8_t>> files = {writeJpeg(dir + "/landscape.jpg", 6000, 4000),
                                               writeJpeg(dir + "/portrait.jpg", 4000, 6000)};

    WatchedWindowSystem ws(glimsel_ui::Size{1920, 1080});
    glimsel_ui::WindowSystem::install(&ws);
    glimsel_headless::MemorySettingsStore store;
    glimsel_settings::installSettingsStore(&store);
    store.writeString("Config", "Path", dir.c_str());
    store.writeInt("Config", "Speed", 0);  // the timer stays out of the way: the bench ticks itself
    store.writeInt("Config", "flashSleep", -1);
    _Ref<_CImageDatabase> source = new _CImageDatabase();
    source->loadFolder();
    bench::FixedProvider provider;
    provider.source = source;
    bench::BareJpeg bare;
    size_t next = 0;

    std::printf("2 JPEGs of 24 megapixels, processor ms per tick, median (min-max) of %d rounds taking turns\n",
                rounds);
    for (int scale : {36, 14, 100}) {
        CDrawWnd window(provider, false);
        window.scalePercent = scale;
        window.createWindow(0, glimsel_ui::STYLE_POPUP | glimsel_ui::STYLE_VISIBLE, glimsel_ui::Rect{0, 0, 370, 277}, 0);
        std::unique_ptr<glimsel_ui::DeviceContext> dc = ws.getDC(window);
        window.drawNext(*dc);  // the black background
        std::vector<double> waits;
        std::vector<std::function<void()>> runs = {
            [&] {
                ws.startWatch();
                window.drawNext(*dc);
                ws.look();
                waits.push_back(ws.longest);
                ws.drawLog.clear();
            },
            [&] { source->getRandomImage()->freeImage(); },  // outside any scope: decoded whole
            [&] { bare.decode(files[next++ % files.size()], false); }};
        for (bench::Memory m : {bench::Memory::Warm, bench::Memory::Fresh}) {
            auto t = bench::interleave(runs, rounds, 1, m);
            std::printf("%3d %% %-13s tick %s | tick decoding whole %s | bare whole decode %s\n", scale,
                        bench::nameOf(m), bench::format(bench::spreadOf(t[0])).c_str(),
                        bench::format(bench::spreadOf(t[1])).c_str(), bench::format(bench::spreadOf(t[2])).c_str());
        }
        std::printf("%3d %% input waits at most %s wall ms in a tick\n", scale,
                    bench::format(bench::spreadOf(waits)).c_str());
        window.destroyWindow();
    }
    glimsel_ui::WindowSystem::install(nullptr);
    std::system(("rm -rf '" + dir + "'").c_str());
    return 0;
}
