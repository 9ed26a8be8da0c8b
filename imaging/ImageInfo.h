// The image record: a device-independent bitmap with a name, as every decoder
// produces it and the drawing window draws it.
#pragma once

#include "foundation/lang/String.h"
#include "foundation/lang/Throwable.h"
#include "imaging/Dib.h"
#include "sources/FileMapping.h"

namespace img_lib {

using torvik_lang::_Object;
using torvik_lang::_Ref;
using torvik_lang::_String;

enum ImageType : int32_t {
    IMAGE_JPEG = 0,
    IMAGE_BMP = 1,
    IMAGE_GIF = 2,
    // Read only where more picture kinds are switched on; 3 stays unknown.
    IMAGE_PNG = 4,
};

// Every failure of the decoders.
class ImageException : public torvik_lang::Throwable {
public:
    explicit ImageException(char const* msg) : Throwable(msg) {}
    explicit ImageException(const _Ref<_String>& msg) : Throwable(msg) {}
};

class JpegImageException : public ImageException {
public:
    using ImageException::ImageException;
};

class _ImageInfo : public _Object {
public:
    ~_ImageInfo() override;

    ImageType type = IMAGE_JPEG;
    unsigned char* bits = nullptr;  // the first pixel row in memory; null without a picture
    BITMAPINFO* info = nullptr;     // header and colour table; null without a picture
    _Ref<_String> name;
    // How many bytes may be read at `info` and at `bits`; the renderer never reads
    // further (a BMP's RLE data, a lying header).
    uint32_t infoBytes = 0;
    uint32_t bitsBytes = 0;
    // Non-zero when the picture's large block came from the pixel block pool (the rows
    // of a JPEG, the whole block of a GIF): its capacity, for giving it back there.
    size_t pooledBytes = 0;

    virtual void init(char const* name, ImageType type);
    virtual void setName(char const* name);
    virtual _Ref<_String> getName();
    // Gives the picture memory back; the record then holds no picture.
    virtual void freeImage();

    // The picture's size as the drawing call sees it, from any header form (a core
    // header's 16-bit fields included); 0 without a picture.
    int width() const;
    // The height in rows, whatever the row order.
    int height() const;

    // A picture decoded at a reduced scale (see DrawScaleScope) stands for a larger one:
    // its size before the reduction, 0 when it was decoded at its own size. Drawers size
    // the picture by fullWidth() and fullHeight() and stretch the smaller DIB over that.
    int32_t reducedFromWidth = 0;
    int32_t reducedFromHeight = 0;
    int fullWidth() const { return reducedFromWidth ? reducedFromWidth : width(); }
    int fullHeight() const { return reducedFromHeight ? reducedFromHeight : height(); }

    // The picture went straight to the screen while it was decoded (see DrawInPlaceScope)
    // and is shown already; the record holds no picture.
    bool drawnInPlace = false;
};

// While a scope lives, the pictures decoded on this thread are meant to be drawn at
// `percent` of their size; a JPEG that will be drawn at or below 1/2, 1/4 or 1/8 of its
// size is then decoded at that scale, which costs a fraction of the full decode. Scopes
// nest, the innermost counting; without one every picture is decoded at its own size.
class DrawScaleScope {
public:
    explicit DrawScaleScope(int percent);
    ~DrawScaleScope();
    DrawScaleScope(const DrawScaleScope&) = delete;
    DrawScaleScope& operator=(const DrawScaleScope&) = delete;

    // The percentage of the innermost scope, 100 without one.
    static int current();
    // The largest reduction 1/d (d of 1, 2, 4, 8) at which a picture drawn at `percent`
    // loses nothing it shows: the largest d with percent * d <= 100.
    static int reductionFor(int percent);

private:
    int previous;
};

// A BMP picture: `info` and `bits` point into the file's own bytes.
class _BmpInfo : public _ImageInfo {
public:
    ~_BmpInfo() override;
    void finalize() override;
    void freeImage() override;

    CFileMapping mapping;  // holds the file's bytes for a BMP read from a file
};

// A zero-filled DIB header with room for `colours` colour entries: 24 bits, BI_RGB.
BITMAPINFO* makeDibHeader(int colours);

// Decodes the file at `path` with the decoder that `type` names; null for an unknown
// type. The record is named `path`.
_Ref<_ImageInfo> loadImage(char const* path, ImageType type);
// Decodes `size` bytes at `data`; named `name`, or "InMemImage" without one.
_Ref<_ImageInfo> loadImage(void const* data, int size, ImageType type, char const* name);

// The decoders, reached through loadImage.
_Ref<_ImageInfo> loadBmpFile(char const* path);
_Ref<_ImageInfo> loadBmp(void const* data, int size, const _Ref<_String>& name);
_Ref<_ImageInfo> loadGifFile(char const* path);
_Ref<_ImageInfo> loadGif(void const* data, int size, char const* name);
_Ref<_ImageInfo> loadJpegFile(char const* path);
_Ref<_ImageInfo> loadJpeg(void const* data, int size, const _Ref<_String>& name);
_Ref<_ImageInfo> loadPngFile(char const* path);
_Ref<_ImageInfo> loadPng(void const* data, int size, const _Ref<_String>& name);

}  // namespace img_lib
