#include "sources/FolderImageDatabase.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include "imaging/DrawInPlace.h"
#include "imaging/ExifOrientation.h"
#include "platform/SettingsStore.h"
#include "platform/os.h"

using img_lib::_ImageInfo;
using img_lib::ImageType;
using torvik_io::_File;
using torvik_lang::_Ref;
using torvik_lang::_String;

namespace {

constexpr char const* NO_IMAGES = "No images in system";

struct Pattern {
    char const* pattern;
    ImageType type;
};

// The order of this table is the order of the list.
constexpr Pattern kPatterns[] = {
    {"*.jpg", img_lib::IMAGE_JPEG},
    {"*.jpeg", img_lib::IMAGE_JPEG},
    {"*.bmp", img_lib::IMAGE_BMP},
    {"*.gif", img_lib::IMAGE_GIF},
    // Only with more picture kinds switched on.
    {"*.png", img_lib::IMAGE_PNG},
};
constexpr size_t kBasicPatterns = 4;

size_t patternCount(bool moreTypes) { return moreTypes ? std::size(kPatterns) : kBasicPatterns; }

// How long one draw may spend listing subfolders: a large library is listed over the
// first few draws instead of before the first.
constexpr std::chrono::milliseconds kListingSlice{40};

// Whether `name` (of `length` characters) matches `pattern` without regard to ASCII letter
// case. A pattern of '*' and a plain ending, as every pattern of the table is, is
// answered by comparing the ending; any other goes to the platform's matcher.
bool matches(char const* pattern, char const* name, size_t length) {
    if (pattern[0] != '*' || std::strpbrk(pattern + 1, "*?")) return glimsel_os::wildcardMatch(pattern, name);
    const size_t tail = std::strlen(pattern + 1);
    if (length < tail) return false;
    const char* end = name + length - tail;
    for (size_t i = 0; i < tail; ++i) {
        unsigned a = static_cast<unsigned char>(end[i]), b = static_cast<unsigned char>(pattern[1 + i]);
        if (a - 'A' < 26u) a += 32;
        if (b - 'A' < 26u) b += 32;
        if (a != b) return false;
    }
    return true;
}

}  // namespace

_CImageDatabase::_CImageDatabase()
    : names(new torvik_util::_Vector(10, 0)), types(new torvik_lang::_Array<ImageType, torvik_lang::_Object>()) {}

_CImageDatabase::~_CImageDatabase() = default;

bool _CImageDatabase::typeOfName(char const* name, ImageType& type, bool withMoreTypes) {
    if (!name) return false;
    for (size_t i = 0; i < patternCount(withMoreTypes); ++i) {
        const Pattern& p = kPatterns[i];
        if (glimsel_os::wildcardMatch(p.pattern, name)) {
            type = p.type;
            return true;
        }
    }
    return false;
}

void _CImageDatabase::loadFolder() {
    std::string path = glimsel_settings::getProfileString("Config", "Path", ".");
    upright = glimsel_settings::getProfileInt("Config", "Upright", 0) == 1;
    subfolders = glimsel_settings::getProfileInt("Config", "Subfolders", 0) == 1;
    noRepeats = glimsel_settings::getProfileInt("Config", "NoRepeats", 0) == 1;
    moreTypes = glimsel_settings::getProfileInt("Config", "MoreTypes", 0) == 1;
    loadFolder(new _File(path.c_str()));
}

void _CImageDatabase::loadFolder(const _Ref<_File>& dir) {
    if (!dir) torvik_lang::throwRefException(0);
    names->removeAllElements();
    types = new torvik_lang::_Array<ImageType, torvik_lang::_Object>();
    folder = dir;
    round = ShuffledRound();
    walk.reset();
    if (!subfolders) {
        addFolder("");
        return;
    }
    walk = std::make_unique<FolderWalk>(dir->getPath()->c_str(), _File::getPathStyle().separator);
    std::string relative;
    if (walk->next(relative)) addFolder(relative);
}

void _CImageDatabase::addFolder(const std::string& relative) {
    if (!folder) torvik_lang::throwRefException(0);
    _Ref<_File> dir = relative.empty() ? folder : _Ref<_File>(new _File(folder, relative.c_str()));
    const std::string prefix = relative.empty() ? "" : relative + _File::getPathStyle().separator;
    // One pass over the folder. Each name goes to the list of every pattern it matches,
    // and the lists follow one another in the order of the patterns: the list that one
    // search per pattern would give, for a quarter of the directory reads.
    const size_t kinds = patternCount(moreTypes);
    _Ref<torvik_util::_Vector> found[std::size(kPatterns)];
    for (size_t k = 0; k < kinds; ++k) found[k] = new torvik_util::_Vector(10, 0);
    _Ref<torvik_util::_Enumeration> all = dir->list("*");
    while (all->hasMoreElements()) {
        _Ref<_String> name = all->nextElement();
        if (!name || name->c_str()[0] == '.') continue;
        const size_t length = static_cast<size_t>(name->length());
        for (size_t k = 0; k < kinds; ++k) {
            if (matches(kPatterns[k].pattern, name->c_str(), length)) found[k]->addElement(name);
        }
    }
    for (size_t k = 0; k < kinds; ++k) {
        for (int i = 0; i < found[k]->size(); ++i) {
            _Ref<_String> name = found[k]->elementAt(i);
            names->addElement(prefix.empty() ? name : torvik_lang::_S((prefix + name->c_str()).c_str(), false));
            types->put(names->size() - 1, kPatterns[k].type);
        }
    }
}

void _CImageDatabase::continueListing() {
    if (!walk) return;
    const auto end = std::chrono::steady_clock::now() + kListingSlice;
    std::string relative;
    while ((names->size() == 0 || std::chrono::steady_clock::now() < end) && walk->next(relative)) addFolder(relative);
    if (walk->done()) walk.reset();
}

void _CImageDatabase::finishListing() {
    std::string relative;
    while (walk && walk->next(relative)) addFolder(relative);
    walk.reset();
}

void _CImageDatabase::addFiles(char const* pattern, ImageType type) {
    if (!folder) torvik_lang::throwRefException(0);
    _Ref<torvik_util::_Enumeration> found = folder->list(pattern);
    _Ref<_String> dot = torvik_lang::_S(".");
    while (found->hasMoreElements()) {
        _Ref<_String> name = found->nextElement();
        if (!name || name->startsWith(dot)) continue;
        names->addElement(name);
        types->put(names->size() - 1, type);
    }
}

int _CImageDatabase::getImageCount() {
    // What a slice of listing finds: a large library's count grows as it is listed.
    continueListing();
    return names->size();
}

_Ref<_ImageInfo> _CImageDatabase::getRandomImage() {
    // The name of the entry drawn last that still had one: the message when no draw
    // succeeds.
    _Ref<_String> message = torvik_lang::_S(NO_IMAGES);
    continueListing();
    for (int attempts = 100; names->size() >= 1 && attempts-- >= 0;) {
        const int i = noRepeats ? round.next(names->size()) : std::rand() % names->size();
        _Ref<_String> name = names->elementAt(i);
        if (!name) continue;
        message = name;
        _Ref<_File> file = new _File(folder, name);
        try {
            char const* path = file->getPath()->c_str();
            const int orientation =
                upright && types->at(i) == img_lib::IMAGE_JPEG ? img_lib::jpegFileOrientation(path) : 1;
            // A photo to be turned is turned in its record: it cannot go onto the window
            // as it is decoded.
            img_lib::DrawInPlaceScope turned(orientation == 1 ? img_lib::DrawInPlaceScope::current() : nullptr);
            _Ref<_ImageInfo> image = img_lib::loadImage(path, types->at(i));
            if (image) {
                img_lib::orientPicture(*image, orientation);
                return image;
            }
        } catch (img_lib::ImageException&) {
            names->setElementAt(nullptr, i);
        }
    }
    _Ref<_ImageInfo> empty = new _ImageInfo();
    empty->name = message;
    return empty;
}
