// Lists a folder of picture files with the folder source, in turns with
// `find DIR -maxdepth 1` on the same folder, with a warm heap and with fresh memory, and
// prints the median wall-clock time of each with its spread and their ratio.
//
//   bench_folder [files] [rounds]
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/BenchKit.h"
#include "sources/FolderImageDatabase.h"

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int rounds = argc > 2 ? std::max(3, std::atoi(argv[2])) : 9;
    char name[] = "/tmp/glimsel-bench-folder-XXXXXX";
    if (!mkdtemp(name)) return 1;
    const std::string dir = name;
    const char* kinds[] = {".jpg", ".jpeg", ".bmp", ".gif", ".txt"};
    for (int i = 0; i < files; ++i) {
        const std::string path = dir + "/picture-" + std::to_string(i) + kinds[i % 5];
        if (FILE* f = std::fopen(path.c_str(), "wb")) std::fclose(f);
    }

    int listed = 0;
    const std::string command = "find '" + dir + "' -maxdepth 1 > /dev/null";
    std::function<void()> source = [&] {
        torvik_lang::_Ref<_CImageDatabase> db = new _CImageDatabase();
        db->loadFolder(new torvik_io::_File(dir.c_str()));
        listed = db->getImageCount();
        db = nullptr;  // freeing the list is part of the work
    };
    std::function<void()> find = [&] {
        if (std::system(command.c_str()) != 0) std::exit(1);
    };
    std::printf("%d files (4 of 5 pictures), wall-clock ms, median (min-max) of %d rounds taking turns\n", files,
                rounds);
    for (bench::Memory memory : {bench::Memory::Warm, bench::Memory::Fresh}) {
        auto t = bench::interleave({source, find}, rounds, 1, memory, bench::wallMs);
        std::printf("%-13s loadFolder %s | find -maxdepth 1 %s | ratio %.2fx of find\n", bench::nameOf(memory),
                    bench::format(bench::spreadOf(t[0])).c_str(), bench::format(bench::spreadOf(t[1])).c_str(),
                    1 / bench::speedup(t[0], t[1]));
    }
    std::filesystem::remove_all(dir);
    std::printf("%d listed\n", listed);
    return listed == files / 5 * 4 ? 0 : 1;
}
