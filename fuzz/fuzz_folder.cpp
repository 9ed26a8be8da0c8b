// libFuzzer target: the folder source over a folder of odd entries. The input is split
// at zero bytes into up to 16 entries; each piece's first byte says what the entry is (a
// small picture, junk, a folder, a name made as long as a name may be) and which picture
// pattern its name ends in; the rest is the name, any bytes but '/' (so names that are
// no valid UTF-8 too). Listing and drawing never fail and never hand out a record
// without a name.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sources/FolderImageDatabase.h"

namespace {

constexpr size_t kMaxEntries = 16;
constexpr size_t kMaxName = 255;
const char* const kEndings[] = {".jpg", ".jpeg", ".bmp", ".gif", ".GIF", ".Jpg", "", ".bmp.txt"};

const std::string& folder() {
    static const std::string path = [] {
        char name[] = "/tmp/glimsel-fuzz-folder-XXXXXX";
        if (!::mkdtemp(name)) std::abort();
        return std::string(name);
    }();
    return path;
}

void removeTree(const std::string& path, bool keepTop) {
    if (DIR* dir = ::opendir(path.c_str())) {
        while (dirent* e = ::readdir(dir)) {
            std::string name = e->d_name;
            if (name == "." || name == "..") continue;
            std::string child = path + "/" + name;
            struct stat st;
            if (::lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
                removeTree(child, false);
            } else {
                ::unlink(child.c_str());
            }
        }
        ::closedir(dir);
    }
    if (!keepTop) ::rmdir(path.c_str());
}

void removeFolder() { removeTree(folder(), false); }

// A 1x1 24-bit BMP: a picture that every kind's decoder sees (and refuses or shows).
std::string tinyBmp() {
    std::string b(58, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, 58);
    put32(10, 54);
    put32(14, 40);
    put32(18, 1);
    put32(22, 1);
    b[26] = 1;
    b[28] = 24;
    return b;
}

void makeEntry(const std::string& piece) {
    if (piece.empty()) return;
    const unsigned kind = static_cast<unsigned char>(piece[0]);
    std::string name;
    for (size_t i = 1; i < piece.size(); ++i) name += piece[i] == '/' ? '_' : piece[i];
    if (name.empty()) name = "x";
    const std::string ending = kEndings[kind >> 2 & 7];
    if ((kind & 3) == 3) {
        while (name.size() + ending.size() < kMaxName) name += name;
    }
    if (name.size() + ending.size() > kMaxName) name.resize(kMaxName - ending.size());
    const std::string path = folder() + "/" + name + ending;
    if ((kind & 3) == 2) {
        ::mkdir(path.c_str(), 0700);
        return;
    }
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        const std::string content = (kind & 3) == 0 ? tinyBmp() : piece;
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    folder();
    std::atexit(removeFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    removeTree(folder(), true);
    std::vector<std::string> pieces(1);
    for (size_t i = 0; i < size && pieces.size() <= kMaxEntries; ++i) {
        if (data[i] == 0) {
            pieces.emplace_back();
        } else {
            pieces.back() += static_cast<char>(data[i]);
        }
    }
    for (size_t i = 0; i < pieces.size() && i < kMaxEntries; ++i) makeEntry(pieces[i]);

    torvik_lang::_Ref<_CImageDatabase> db = new _CImageDatabase();
    db->loadFolder(new torvik_io::_File(folder().c_str()));
    if (db->getImageCount() < 0 || db->getImageCount() > static_cast<int>(kMaxEntries)) std::abort();
    std::srand(static_cast<unsigned>(size));
    for (int draw = 0; draw < 3; ++draw) {
        torvik_lang::_Ref<img_lib::_ImageInfo> image = db->getRandomImage();
        if (!image || !image->name) std::abort();
        image->freeImage();
    }
    return 0;
}
