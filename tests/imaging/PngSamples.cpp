#include "tests/imaging/PngSamples.h"

#include <png.h>
#include <zlib.h>

#include <cstring>
#include <stdexcept>

namespace png_samples {

namespace {

void append(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

void flush(png_structp) {}

}  // namespace

Picture filled(int width, int height, int colorType, const Bytes& sample, int bitDepth) {
    Picture p;
    p.width = width;
    p.height = height;
    p.colorType = colorType;
    p.bitDepth = bitDepth;
    for (int i = 0; i < width * height; ++i) p.pixels.insert(p.pixels.end(), sample.begin(), sample.end());
    return p;
}

Bytes encode(const Picture& p) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("PNG encode failed");
    }
    png_set_write_fn(png, &out, append, flush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(p.width), static_cast<png_uint_32>(p.height), p.bitDepth,
                 p.colorType, p.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (p.colorType == PNG_COLOR_TYPE_PALETTE) {
        // Index 0 red, 1 green, 2 blue; index 1 half transparent.
        png_color palette[3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
        png_set_PLTE(png, info, palette, 3);
        png_byte alpha[2] = {255, 128};
        png_set_tRNS(png, info, alpha, 2, nullptr);
    }
    png_write_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    std::vector<png_bytep> rows(static_cast<size_t>(p.height));
    for (int y = 0; y < p.height; ++y) rows[static_cast<size_t>(y)] = const_cast<png_bytep>(p.pixels.data()) + y * rowBytes;
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes bomb(uint32_t width, uint32_t height) {
    Picture small = filled(1, 1, PNG_COLOR_TYPE_RGB, {0, 0, 0});
    Bytes b = encode(small);
    // IHDR's width and height follow the signature, the chunk length and its type.
    for (int i = 0; i < 4; ++i) {
        b[16 + i] = static_cast<uint8_t>(width >> (24 - 8 * i));
        b[20 + i] = static_cast<uint8_t>(height >> (24 - 8 * i));
    }
    // A matching CRC, so that only the size can refuse it.
    const uint32_t crc = static_cast<uint32_t>(crc32(0, b.data() + 12, 17));
    for (int i = 0; i < 4; ++i) b[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    return b;
}

}  // namespace png_samples
