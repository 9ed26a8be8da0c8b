#include "sources/FolderImageDatabase.h"

#include <cstdlib>
#include <string>

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
};

}  // namespace

_CImageDatabase::_CImageDatabase()
    : names(new torvik_util::_Vector(10, 0)), types(new torvik_lang::_Array<ImageType, torvik_lang::_Object>()) {}

_CImageDatabase::~_CImageDatabase() = default;

bool _CImageDatabase::typeOfName(char const* name, ImageType& type) {
    if (!name) return false;
    for (const Pattern& p : kPatterns) {
        if (glimsel_os::wildcardMatch(p.pattern, name)) {
            type = p.type;
            return true;
        }
    }
    return false;
}

void _CImageDatabase::loadFolder() {
    std::string path = glimsel_settings::getProfileString("Config", "Path", ".");
    loadFolder(new _File(path.c_str()));
}

void _CImageDatabase::loadFolder(const _Ref<_File>& dir) {
    if (!dir) torvik_lang::throwRefException(0);
    names->removeAllElements();
    types = new torvik_lang::_Array<ImageType, torvik_lang::_Object>();
    folder = dir;
    for (const Pattern& p : kPatterns) addFiles(p.pattern, p.type);
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

int _CImageDatabase::getImageCount() { return names->size(); }

_Ref<_ImageInfo> _CImageDatabase::getRandomImage() {
    // The name of the entry drawn last that still had one: the message when no draw
    // succeeds.
    _Ref<_String> message = torvik_lang::_S(NO_IMAGES);
    for (int attempts = 100; names->size() >= 1 && attempts-- >= 0;) {
        const int i = std::rand() % names->size();
        _Ref<_String> name = names->elementAt(i);
        if (!name) continue;
        message = name;
        _Ref<_File> file = new _File(folder, name);
        try {
            _Ref<_ImageInfo> image = img_lib::loadImage(file->getPath()->c_str(), types->at(i));
            if (image) return image;
        } catch (img_lib::ImageException&) {
            names->setElementAt(nullptr, i);
        }
    }
    _Ref<_ImageInfo> empty = new _ImageInfo();
    empty->name = message;
    return empty;
}
