// Opens an image database of 100,000 records with the array file, in turns with a bare
// reader (open, fstat, one pread of header and index, decode) and with a reader through
// stdio as the array file read before (size by seeking, four reads), with a warm heap and with
// fresh memory, and prints the median processor time of each (the kernel's work for the
// reads included) with its spread, and the read calls each open makes (/proc/self/io).
//
//   bench_database [records] [rounds]
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchKit.h"
#include "sources/ArrayFile.h"

namespace {

long readCalls() {
    std::ifstream io("/proc/self/io");
    std::string key;
    long value = 0;
    while (io >> key >> value) {
        if (key == "syscr:") return value;
    }
    return -1;
}

// The least work there is: the header and the whole index in one read.
int bareOpen(const char* path) {
    int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    struct stat st;
    ::fstat(fd, &st);
    unsigned char header[12];
    ::pread(fd, header, sizeof header, 0);
    int count = header[8] | header[9] << 8 | header[10] << 16 | header[11] << 24;
    std::vector<unsigned char> index(12 * static_cast<size_t>(count));
    ::pread(fd, index.data(), index.size(), 12);
    std::vector<int64_t> offsets(count);
    std::vector<int> sizes(count);
    for (int i = 0; i < count; ++i) {
        std::memcpy(&offsets[i], &index[12 * i], 8);
        std::memcpy(&sizes[i], &index[12 * i + 8], 4);
    }
    ::close(fd);
    return count;
}

// The way the array file opened before: the size by seeking to the end, then the
// header and the index through the stream's buffer (four reads, three seeks).
int stdioOpen(const char* path) {
    FILE* f = std::fopen(path, "rb");
    std::fseek(f, 0, SEEK_END);
    long length = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    unsigned char header[12];
    size_t got = std::fread(header, 1, sizeof header, f);
    int count = header[8] | header[9] << 8 | header[10] << 16 | header[11] << 24;
    std::vector<unsigned char> index(12 * static_cast<size_t>(count));
    got += std::fread(index.data(), 1, index.size(), f);
    std::vector<int64_t> offsets(count);
    std::vector<int> sizes(count);
    for (int i = 0; i < count; ++i) {
        std::memcpy(&offsets[i], &index[12 * i], 8);
        std::memcpy(&sizes[i], &index[12 * i + 8], 4);
    }
    std::fclose(f);
    return length > 0 && got == 12 + index.size() ? count : -1;
}

}  // namespace

int main(int argc, char** argv) {
    const int records = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int rounds = argc > 2 ? std::max(3, std::atoi(argv[2])) : 15;
    char name[] = "/tmp/glimsel-bench-db-XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) return 1;
    ::close(fd);
    torvik_lang::_Ref<torvik_io::_File> file = new torvik_io::_File(name);
    {
        torvik_lang::_Ref<util_ds::_ArrayFile> db = new util_ds::_ArrayFile();
        db->create(file, records, 0);
        char record[16] = {1, 0, 0, 0, 'B', 'M'};
        for (int i = 0; i < records; ++i) db->writeRecord(i, record, sizeof record);
        db->close();
    }

    long calls = 0;
    std::function<void()> ours = [&] {
        torvik_lang::_Ref<util_ds::_ArrayFile> db = new util_ds::_ArrayFile();
        const long before = readCalls();
        db->open(file, false);
        calls = readCalls() - before - 1;  // the second look at /proc/self/io is one read itself
        if (db->getCount() != records) std::exit(1);
    };
    std::function<void()> bare = [&] {
        if (bareOpen(name) != records) std::exit(1);
    };
    std::function<void()> stdio = [&] {
        if (stdioOpen(name) != records) std::exit(1);
    };
    std::printf("%d records, processor ms (the kernel's part included), median (min-max) of %d rounds taking turns\n",
                records, rounds);
    for (bench::Memory memory : {bench::Memory::Warm, bench::Memory::Fresh}) {
        auto t = bench::interleave({ours, bare, stdio}, rounds, 1, memory);
        std::printf("%-13s _ArrayFile::open %s | bare %s (%.2fx of it) | through stdio, as before %s (%.2fx of it)\n",
                    bench::nameOf(memory), bench::format(bench::spreadOf(t[0])).c_str(),
                    bench::format(bench::spreadOf(t[1])).c_str(), 1 / bench::speedup(t[0], t[1]),
                    bench::format(bench::spreadOf(t[2])).c_str(), 1 / bench::speedup(t[0], t[2]));
    }
    std::printf("read calls per open: %ld\n", calls);
    std::remove(name);
    return 0;
}
