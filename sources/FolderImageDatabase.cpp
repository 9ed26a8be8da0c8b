#include "sources/FolderImageDatabase.h"

#include <iterator>

#include <chrono>
#include <cstdlib>
#include <string>

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
        for (size_t i = 0; i < patternCount(moreTypes); ++i) addFiles(kPatterns[i].pattern, kPatterns[i].type);
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
    for (size_t i = 0; i < patternCount(moreTypes); ++i) {
        _Ref<torvik_util::_Enumeration> found = dir->list(kPatterns[i].pattern);
        _Ref<_String> dot = torvik_lang::_S(".");
        while (found->hasMoreElements()) {
            _Ref<_String> name = found->nextElement();
            if (!name || name->startsWith(dot)) continue;
            names->addElement(prefix.empty() ? name : torvik_lang::_S((prefix + name->c_str()).c_str(), false));
            types->put(names->size() - 1, kPatterns[i].type);
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
            _Ref<_ImageInfo> image = img_lib::loadImage(path, types->at(i));
            if (image && upright && types->at(i) == img_lib::IMAGE_JPEG) {
                img_lib::orientPicture(*image, img_lib::jpegFileOrientation(path));
            }
            if (image) return image;
        } catch (img_lib::ImageException&) {
            names->setElementAt(nullptr, i);
        }
    }
    _Ref<_ImageInfo> empty = new _ImageInfo();
    empty->name = message;
    return empty;
}
