// The folder source's choices on a photo library: how soon the first picture of a
// library of 100,000 pictures in 2,000 folders (20 years of 100 events, the top folder
// itself empty) is drawn with subfolders on, against listing it whole first; and how
// often a draw repeats the picture before it, with and without the no-repeats choice.
//
//   bench_library [folders] [pictures-per-folder] [draws]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "sources/FolderImageDatabase.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A 1x1 24-bit BMP: every file of the library decodes.
const unsigned char kPixel[] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0,
                                1,   0,   24, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0, 0,
                                0,   0,   0,  0, 0, 0, 0, 0, 0, 0, 0, 0};

void writePicture(const std::string& path) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(kPixel, 1, 58, f);
        std::fclose(f);
    }
}

torvik_lang::_Ref<_CImageDatabase> source(const std::string& dir, bool subfolders, bool noRepeats) {
    torvik_lang::_Ref<_CImageDatabase> db = new _CImageDatabase();
    db->subfolders = subfolders;
    db->noRepeats = noRepeats;
    db->loadFolder(new torvik_io::_File(dir.c_str()));
    return db;
}

// The share of draws that give the picture drawn just before.
double repeatRate(const std::string& dir, bool noRepeats, int draws) {
    std::srand(12345);
    torvik_lang::_Ref<_CImageDatabase> db = source(dir, false, noRepeats);
    std::string last;
    int repeats = 0;
    for (int i = 0; i < draws; ++i) {
        torvik_lang::_Ref<img_lib::_ImageInfo> image = db->getRandomImage();
        const std::string name = image->name->c_str();
        repeats += name == last;
        last = name;
        image->freeImage();
    }
    return 100.0 * repeats / draws;
}

}  // namespace

int main(int argc, char** argv) {
    const int folders = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int perFolder = argc > 2 ? std::atoi(argv[2]) : 50;
    const int draws = argc > 3 ? std::atoi(argv[3]) : 100000;
    if (folders < 1 || perFolder < 1 || draws < 1) return 2;
    char name[] = "/tmp/glimsel-bench-library-XXXXXX";
    if (!mkdtemp(name)) return 1;
    const std::string dir = name;
    std::printf("writing %d folders of %d pictures...\n", folders, perFolder);
    for (int f = 0; f < folders; ++f) {
        const std::string folder = dir + "/" + std::to_string(2000 + f / 100) + "/event-" + std::to_string(f % 100);
        std::filesystem::create_directories(folder);
        for (int p = 0; p < perFolder; ++p) writePicture(folder + "/photo-" + std::to_string(p) + ".bmp");
    }
    const int total = folders * perFolder;

    // The first picture, as the first tick asks for it: listing and one decode.
    std::vector<double> first, whole;
    int count = 0;
    for (int round = 0; round < 5; ++round) {
        Clock::time_point start = Clock::now();
        torvik_lang::_Ref<_CImageDatabase> lazy = source(dir, true, false);
        torvik_lang::_Ref<img_lib::_ImageInfo> image = lazy->getRandomImage();
        if (!image->bits) return 1;
        first.push_back(millisSince(start));

        start = Clock::now();
        torvik_lang::_Ref<_CImageDatabase> eager = source(dir, true, false);
        eager->finishListing();
        count = eager->names->size();
        whole.push_back(millisSince(start));
    }
    std::sort(first.begin(), first.end());
    std::sort(whole.begin(), whole.end());
    std::printf("%d pictures in %d folders, %d listed, median of 5 rounds (warm cache)\n", total, folders, count);
    std::printf("  first picture, subfolders on   %8.2f ms\n", first[2]);
    std::printf("  whole library listed first     %8.2f ms\n", whole[2]);

    const std::string ten = dir + "/ten";
    std::filesystem::create_directories(ten);
    for (int p = 0; p < 10; ++p) writePicture(ten + "/p" + std::to_string(p) + ".bmp");
    std::printf("10 pictures, %d draws: repeats of the picture before\n", draws);
    std::printf("  no-repeats off                 %8.2f %%\n", repeatRate(ten, false, draws));
    std::printf("  no-repeats on                  %8.2f %%\n", repeatRate(ten, true, draws));
    std::filesystem::remove_all(dir);
    return count == total ? 0 : 1;
}
