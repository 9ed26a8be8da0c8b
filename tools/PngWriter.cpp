#include "tools/PngWriter.h"

#include <png.h>

#include <cstring>
#include <vector>

bool writePng(const char* path, const img_lib::Canvas& canvas, std::string& error) {
    if (!canvas.pixels || canvas.width <= 0 || canvas.height <= 0 || canvas.stride < canvas.width) {
        error = "nothing to write";
        return false;
    }
    const size_t width = static_cast<size_t>(canvas.width);
    const size_t height = static_cast<size_t>(canvas.height);
    std::vector<png_byte> rgb(width * height * 3);
    for (size_t y = 0; y < height; ++y) {
        const uint32_t* in = canvas.pixels + y * static_cast<size_t>(canvas.stride);
        png_byte* out = rgb.data() + y * width * 3;
        for (size_t x = 0; x < width; ++x, out += 3) {
            out[0] = static_cast<png_byte>(in[x] >> 16);
            out[1] = static_cast<png_byte>(in[x] >> 8);
            out[2] = static_cast<png_byte>(in[x]);
        }
    }
    // The simplified interface reports errors through its structure, so no longjmp
    // crosses this function.
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, path, 0, rgb.data(), static_cast<png_int_32>(width * 3), nullptr)) {
        error = image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}
