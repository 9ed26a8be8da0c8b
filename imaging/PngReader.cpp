// The PNG reader: libpng decodes from memory into a 24-bit top-down DIB, every kind of
// PNG expanded to blue, green, red, with any transparency drawn over black.
//
// libpng reports errors through a callback that must not return: it leaves by longjmp
// to the guarded() boundary, and the reader throws only after guarded() has returned,
// so no exception unwinds through the library's C frames.
#include <csetjmp>
#include <cstring>

#include <png.h>

#include "foundation/lang/L.h"
#include "imaging/DecodeBudget.h"
#include "imaging/DecodePauses.h"
#include "imaging/ImageInfo.h"

namespace img_lib {

using torvik_lang::L;
using torvik_lang::osAlloc;
using torvik_lang::_S;

namespace {

constexpr char kFormatError[] = "PNG format error";

// No side longer than this; the decode budget bounds the pixel rows, checked before
// they are allocated.
constexpr uint32_t kMaxPngDimension = 32768;
// No ancillary chunk (text, profiles) may make libpng allocate more than this, and no
// more than this many of them are kept: a stream of tiny chunks only burns time.
constexpr png_alloc_size_t kMaxChunkBytes = 8u << 20;
constexpr png_uint_32 kMaxCachedChunks = 1000;

struct PngJob {
    png_structp png;
    png_infop info;
    const uint8_t* data;
    size_t length;
    size_t offset;
    png_uint_32 width;
    png_uint_32 height;
    size_t rowBytesOut;  // what libpng writes per row after the transformations
    int passes;
    uint8_t* pixels;
    uint32_t stride;
    bool cancelled;  // the decode's pause asked to give the picture up
};

void readFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
    if (count > job->length - job->offset) png_error(png, "read past the end");
    std::memcpy(out, job->data + job->offset, count);
    job->offset += count;
}

[[noreturn]] void errorExit(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void warningIgnored(png_structp, png_const_charp) {}

// The boundary: libpng's error exit jumps back here, past the library's frames and the
// steps' trivially destructible locals.
bool guarded(void (*step)(PngJob&), PngJob& job) {
    if (setjmp(png_jmpbuf(job.png)) != 0) return false;
    step(job);
    return true;
}

void readHeaderStep(PngJob& job) {
    png_set_read_fn(job.png, &job, readFromMemory);
    png_set_user_limits(job.png, kMaxPngDimension, kMaxPngDimension);
    png_set_chunk_malloc_max(job.png, kMaxChunkBytes);
    png_set_chunk_cache_max(job.png, kMaxCachedChunks);
    png_read_info(job.png, job.info);
    job.width = png_get_image_width(job.png, job.info);
    job.height = png_get_image_height(job.png, job.info);
}

void transformStep(PngJob& job) {
    png_structp png = job.png;
    // Palette, grey and tRNS all become 8-bit RGB with alpha where there was any.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_color_16 black{};
    png_set_background(png, &black, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
    png_set_bgr(png);
    job.passes = png_set_interlace_handling(png);
    png_read_update_info(png, job.info);
    job.rowBytesOut = png_get_rowbytes(png, job.info);
}

void readRowsStep(PngJob& job) {
    // Interlaced pictures come in up to seven passes over the same rows.
    for (int pass = 0; pass < job.passes; ++pass) {
        for (png_uint_32 y = 0; y < job.height; ++y) {
            png_read_row(job.png, job.pixels + size_t(y) * job.stride, nullptr);
            if (!DecodePauseScope::mayGoOn()) {
                job.cancelled = true;
                png_error(job.png, "given up");
            }
        }
    }
    png_read_end(job.png, nullptr);
}

// Destroys libpng's structures however the decode ends.
class PngStructs {
public:
    explicit PngStructs(PngJob& job) : job(job) {}
    ~PngStructs() { png_destroy_read_struct(&job.png, job.info ? &job.info : nullptr, nullptr); }

private:
    PngJob& job;
};

}  // namespace

_Ref<_ImageInfo> loadPng(void const* data, int size, const _Ref<_String>& name) {
    char const* text = name->c_str();
    PngJob job{};
    job.data = static_cast<const uint8_t*>(data);
    job.length = data && size > 0 ? static_cast<size_t>(size) : 0;
    if (job.length < 8 || png_sig_cmp(job.data, 0, 8) != 0) throw ImageException(kFormatError);

    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, errorExit, warningIgnored);
    if (!job.png) throw ImageException("Not enough memory");
    PngStructs structs(job);
    job.info = png_create_info_struct(job.png);
    if (!job.info) throw ImageException("Not enough memory");

    if (!guarded(readHeaderStep, job)) {
        // libpng refuses sides beyond the user limits itself, as a format error.
        const uint64_t w = png_get_image_width(job.png, job.info);
        const uint64_t h = png_get_image_height(job.png, job.info);
        if (w > kMaxPngDimension || h > kMaxPngDimension) refuseTooLarge(w, h, 3 * w * h);
        throw ImageException(kFormatError);
    }
    const uint64_t width = job.width;
    const uint64_t height = job.height;
    const uint64_t stride = (3 * width + 3) & ~uint64_t(3);
    const uint64_t bufferBytes = stride * height;
    if (width == 0 || height == 0) throw ImageException(kFormatError);
    // The rows, and libpng's own two rows of the widest form (16-bit RGBA) besides.
    const uint64_t needed = bufferBytes + 2 * 8 * width;
    if (width > kMaxPngDimension || height > kMaxPngDimension || needed > kDecodeMemoryBudget ||
        bufferBytes > UINT32_MAX) {
        refuseTooLarge(width, height, needed);
    }
    if (!guarded(transformStep, job)) throw ImageException(kFormatError);
    // The rows must be exactly three bytes a pixel, or libpng would write past them.
    if (job.rowBytesOut != 3 * width || png_get_channels(job.png, job.info) != 3) {
        throw ImageException(kFormatError);
    }

    _Ref<_ImageInfo> image = new _ImageInfo();
    image->init(text, IMAGE_PNG);
    image->info = makeDibHeader(0);
    image->bits = static_cast<unsigned char*>(osAlloc(static_cast<unsigned>(bufferBytes)));
    if (!image->info || !image->bits) throw ImageException("Not enough memory");
    job.pixels = image->bits;
    job.stride = static_cast<uint32_t>(stride);
    if (!guarded(readRowsStep, job)) {
        if (job.cancelled) throw DecodeCancelled();
        throw ImageException(kFormatError);
    }

    BITMAPINFOHEADER& header = image->info->bmiHeader;
    header.biWidth = static_cast<LONG>(width);
    header.biHeight = -static_cast<LONG>(height);
    image->infoBytes = 44;
    image->bitsBytes = static_cast<uint32_t>(bufferBytes);
    return image;
}

_Ref<_ImageInfo> loadPngFile(char const* path) {
    CFileMapping file;
    if (!file.open(path, false)) throw ImageException(L::sprintf("Can't open file '%s'", path ? path : ""));
    return loadPng(file.getPtr(0), static_cast<int>(file.size()), _S(path, false));
}

}  // namespace img_lib
