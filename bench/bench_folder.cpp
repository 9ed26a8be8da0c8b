// Lists a folder of 20,000 picture files with the folder source and with
// `find DIR -maxdepth 1` on the same folder, and prints the wall-clock time of each
// (median of several rounds) and their ratio.
//
//   bench_folder [files] [rounds]
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

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double millisSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 15;
    char name[] = "/tmp/glimsel-bench-folder-XXXXXX";
    if (!mkdtemp(name)) return 1;
    const std::string dir = name;
    const char* kinds[] = {".jpg", ".jpeg", ".bmp", ".gif"};
    for (int i = 0; i < files; ++i) {
        const std::string path = dir + "/picture-" + std::to_string(i) + kinds[i % 4];
        if (FILE* f = std::fopen(path.c_str(), "wb")) std::fclose(f);
    }

    std::vector<double> source, find;
    int listed = 0;
    const std::string command = "find '" + dir + "' -maxdepth 1 > /dev/null";
    for (int r = 0; r < rounds; ++r) {
        Clock::time_point start = Clock::now();
        torvik_lang::_Ref<_CImageDatabase> db = new _CImageDatabase();
        db->loadFolder(new torvik_io::_File(dir.c_str()));
        listed = db->getImageCount();
        db = nullptr;  // freeing the list is part of the work
        source.push_back(millisSince(start));

        start = Clock::now();
        if (std::system(command.c_str()) != 0) return 1;
        find.push_back(millisSince(start));
    }
    std::filesystem::remove_all(dir);

    const double s = median(source), f = median(find);
    std::printf("%d files, %d listed, median of %d rounds\n", files, listed, rounds);
    std::printf("  loadFolder           %8.2f ms\n", s);
    std::printf("  find -maxdepth 1     %8.2f ms\n", f);
    std::printf("  ratio                %8.2f x\n", s / f);
    return listed == files ? 0 : 1;
}
