// A long saver run without a display: 10,000 pictures at speed 100 from a folder of
// JPEG and BMP files (and one broken file), on the headless window system's virtual
// clock. Prints the resident memory after the first 1,000 pictures and at the end: the
// engine holds one decoded picture at a time, so the two must match.
//
//   bench_long_run [pictures]
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench/FixedProvider.h"
#include "foundation/lang/Throwable.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "platform/headless/MemorySettingsStore.h"
#include "show/DrawWnd.h"
#include "sources/FolderImageDatabase.h"
#include "tests/imaging/JpegSamples.h"

using torvik_lang::_Ref;

namespace {

long residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

// A 24-bit bottom-up BMP of a colour ramp.
std::vector<uint8_t> bmp(int width, int height) {
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t dataSize = stride * static_cast<uint32_t>(height);
    std::vector<uint8_t> out(54 + dataSize, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<uint32_t>(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    out[26] = 1;
    out[28] = 24;
    put32(34, dataSize);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &out[54 + y * stride + x * 3];
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(y);
            p[2] = static_cast<uint8_t>(x + y);
        }
    }
    return out;
}

// Runs until `count` more pictures were drawn; the draw log is emptied as it goes,
// since the headless system keeps it for tests.
int drawPictures(glimsel_headless::HeadlessWindowSystem& ws, int count) {
    int drawn = 0;
    while (drawn < count) {
        ws.runUntil(ws.now() + 1000);
        for (const auto& call : ws.drawLog) {
            if (call.kind == glimsel_headless::DrawCall::Dib) ++drawn;
        }
        ws.drawLog.clear();
        ws.drawLog.shrink_to_fit();
    }
    return drawn;
}

}  // namespace

int main(int argc, char** argv) {
    int total = argc > 1 ? std::max(2000, std::atoi(argv[1])) : 10000;
    char folder[] = "/tmp/glimsel-long-run-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    std::string dir = folder;
    jpeg_samples::Options options;
    writeFile(dir + "/photo-640.jpg", jpeg_samples::encode(jpeg_samples::photoLike(640, 480), options));
    writeFile(dir + "/photo-1024.jpg", jpeg_samples::encode(jpeg_samples::photoLike(1024, 768), options));
    options.progressive = true;
    writeFile(dir + "/photo-320.jpeg", jpeg_samples::encode(jpeg_samples::photoLike(320, 240), options));
    writeFile(dir + "/ramp-300.bmp", bmp(300, 200));
    writeFile(dir + "/ramp-801.bmp", bmp(801, 601));
    writeFile(dir + "/broken.jpg", std::vector<uint8_t>{0xff, 0xd8, 0xff, 0xe0, 0, 16, 'J', 'F', 'I', 'F'});

    glimsel_headless::HeadlessWindowSystem ws(glimsel_ui::Size{1920, 1080});
    glimsel_ui::WindowSystem::install(&ws);
    glimsel_headless::MemorySettingsStore store;
    glimsel_settings::installSettingsStore(&store);
    store.writeString("Config", "Path", dir.c_str());
    store.writeInt("Config", "Speed", 100);
    store.writeInt("Config", "flashSleep", -1);

    _Ref<_CImageDatabase> source = new _CImageDatabase();
    source->loadFolder();
    bench::FixedProvider provider;
    provider.source = source;
    CDrawWnd* window = new CDrawWnd(provider, true);
    window->createWindow(glimsel_ui::EXSTYLE_TOPMOST, glimsel_ui::STYLE_POPUP | glimsel_ui::STYLE_VISIBLE,
                         glimsel_ui::Rect{0, 0, 1920, 1080}, 0);
    ws.setMainWindow(window);

    int drawn = drawPictures(ws, 1000);
    long before = residentKiB();
    drawn += drawPictures(ws, total - drawn);
    long after = residentKiB();
    std::printf("%d pictures at speed 100 (headless): resident memory %ld KiB after 1000, %ld KiB at the end "
                "(%+ld KiB)\n",
                drawn, before, after, after - before);

    window->destroyWindow();
    glimsel_ui::WindowSystem::install(nullptr);
    std::system(("rm -rf '" + dir + "'").c_str());
    return 0;
}
