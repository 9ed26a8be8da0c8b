#include "imaging/ImageInfo.h"

#include <cstdlib>

#include "imaging/DibRenderer.h"
#include "imaging/PixelBlockPool.h"

namespace img_lib {

using torvik_lang::_S;
using torvik_lang::osAlloc;
using torvik_lang::osFree;

_ImageInfo::~_ImageInfo() {
    // A record dropped without freeImage() (a decode that failed part-way, or a caller
    // that forgot) still gives its memory back.
    if (bits || info) _ImageInfo::freeImage();
}

void _ImageInfo::init(char const* text, ImageType kind) {
    name = text ? _S(text, false) : _String::emptyString;
    type = kind;
}

void _ImageInfo::setName(char const* text) { name = _S(text, false); }

_Ref<_String> _ImageInfo::getName() { return name; }

void _ImageInfo::freeImage() {
    // A GIF's rows live inside the block that its header heads: that block is freed once.
    if (pooledBytes) {
        // The pool keeps the block for the next picture, or gives it back.
        givePixelBlock(type == IMAGE_GIF ? static_cast<void*>(info) : bits, pooledBytes);
        if (type != IMAGE_GIF) osFree(info);
        pooledBytes = 0;
    } else {
        if (type != IMAGE_GIF) osFree(bits);
        osFree(info);
    }
    bits = nullptr;
    info = nullptr;
    name = nullptr;
}

int _ImageInfo::width() const {
    int32_t w = 0;
    int32_t h = 0;
    return info && dibSize(info, infoBytes, w, h) ? w : 0;
}

int _ImageInfo::height() const {
    int32_t w = 0;
    int32_t h = 0;
    return info && dibSize(info, infoBytes, w, h) ? h : 0;
}

_BmpInfo::~_BmpInfo() {
    // The pointers lead into the mapping or the caller's bytes: nothing of ours to free.
    bits = nullptr;
    info = nullptr;
    if (mapping.isOpen()) mapping.close();
}

void _BmpInfo::finalize() { freeImage(); }

void _BmpInfo::freeImage() {
    if (!bits) return;
    mapping.close();
    bits = nullptr;
    info = nullptr;
}

namespace {
// The drawing scale of the innermost DrawScaleScope; pictures are decoded on the one
// thread that draws them.
thread_local int drawScalePercent = 100;
}  // namespace

DrawScaleScope::DrawScaleScope(int percent) : previous(drawScalePercent) { drawScalePercent = percent; }

DrawScaleScope::~DrawScaleScope() { drawScalePercent = previous; }

int DrawScaleScope::current() { return drawScalePercent; }

int DrawScaleScope::reductionFor(int percent) {
    if (percent <= 0) return 1;  // nothing will be drawn; no reason to guess
    for (int d : {8, 4, 2}) {
        if (int64_t(percent) * d <= 100) return d;
    }
    return 1;
}

BITMAPINFO* makeDibHeader(int colours) {
    if (colours < 0 || colours > 256) return nullptr;
    BITMAPINFO* info = static_cast<BITMAPINFO*>(osAlloc(44 + 4 * static_cast<unsigned>(colours)));
    if (!info) return nullptr;
    info->bmiHeader.biSize = 40;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = 24;
    info->bmiHeader.biCompression = BI_RGB;
    return info;
}

_Ref<_ImageInfo> loadImage(char const* path, ImageType type) {
    switch (type) {
        case IMAGE_JPEG: return loadJpegFile(path);
        case IMAGE_BMP: return loadBmpFile(path);
        case IMAGE_GIF: return loadGifFile(path);
        case IMAGE_PNG: return loadPngFile(path);
    }
    return nullptr;
}

_Ref<_ImageInfo> loadImage(void const* data, int size, ImageType type, char const* name) {
    _Ref<_String> text = _S(name ? name : "InMemImage", false);
    switch (type) {
        case IMAGE_JPEG: return loadJpeg(data, size, text);
        case IMAGE_BMP: return loadBmp(data, size, text);
        case IMAGE_GIF: return loadGif(data, size, text->c_str());
        case IMAGE_PNG: return loadPng(data, size, text);
    }
    return nullptr;
}

}  // namespace img_lib
