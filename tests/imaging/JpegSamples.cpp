#include "tests/imaging/JpegSamples.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>

namespace jpeg_samples {

int Picture::components() const {
    switch (space) {
        case Space::Gray: return 1;
        case Space::Cmyk:
        case Space::Ycck: return 4;
        case Space::Rgb: break;
    }
    return 3;
}

Picture blank(int width, int height, Space space) {
    Picture p;
    p.width = width;
    p.height = height;
    p.space = space;
    p.pixels.assign(size_t(width) * height * p.components(), 0);
    return p;
}

Picture bands(int width, int height, Space space, const std::vector<std::vector<uint8_t>>& colours) {
    Picture p = blank(width, height, space);
    for (int y = 0; y < height; ++y) {
        const std::vector<uint8_t>& colour = colours[(y / 8) % colours.size()];
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < p.components(); ++c) p.at(x, y)[c] = colour.at(c);
        }
    }
    return p;
}

Picture photoLike(int width, int height) {
    Picture p = blank(width, height, Space::Rgb);
    uint32_t noise = 12345;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            int grain = static_cast<int>((noise >> 16) & 15) - 8;
            double fx = double(x) / width, fy = double(y) / height;
            double shapes = 40 * std::sin(fx * 17 + fy * 5) + 30 * std::cos(fy * 23 - fx * 3);
            int r = static_cast<int>(120 + 100 * fx + shapes) + grain;
            int g = static_cast<int>(90 + 120 * fy - shapes / 2) + grain;
            int b = static_cast<int>(160 - 80 * fx * fy + shapes / 3) + grain;
            uint8_t* px = p.at(x, y);
            px[0] = static_cast<uint8_t>(r < 0 ? 0 : r > 255 ? 255 : r);
            px[1] = static_cast<uint8_t>(g < 0 ? 0 : g > 255 ? 255 : g);
            px[2] = static_cast<uint8_t>(b < 0 ? 0 : b > 255 ? 255 : b);
        }
    }
    return p;
}

namespace {

[[noreturn]] void encoderFailed(j_common_ptr cinfo) {
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    std::fprintf(stderr, "test picture encoder: %s\n", text);
    std::abort();
}

J_COLOR_SPACE inputSpace(Space s) {
    switch (s) {
        case Space::Gray: return JCS_GRAYSCALE;
        case Space::Cmyk:
        case Space::Ycck: return JCS_CMYK;
        case Space::Rgb: break;
    }
    return JCS_RGB;
}

Bytes compress(const Picture& picture, const Options& options, const jpeg_scan_info* script, int scans) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    err.error_exit = encoderFailed;
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&cinfo, &out, &outSize);

    cinfo.image_width = static_cast<JDIMENSION>(picture.width);
    cinfo.image_height = static_cast<JDIMENSION>(picture.height);
    cinfo.input_components = picture.components();
    cinfo.in_color_space = inputSpace(picture.space);
    jpeg_set_defaults(&cinfo);
    if (picture.space == Space::Ycck) jpeg_set_colorspace(&cinfo, JCS_YCCK);
    jpeg_set_quality(&cinfo, options.quality, TRUE);
    if (options.fullChroma) {
        for (int i = 0; i < cinfo.num_components; ++i) {
            cinfo.comp_info[i].h_samp_factor = 1;
            cinfo.comp_info[i].v_samp_factor = 1;
        }
    }
    if (options.progressive) jpeg_simple_progression(&cinfo);
    if (script) {
        cinfo.scan_info = script;
        cinfo.num_scans = scans;
    }
    jpeg_start_compress(&cinfo, TRUE);
    size_t stride = size_t(picture.width) * picture.components();
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPLE*>(&picture.pixels[cinfo.next_scanline * stride]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes bytes(out, out + outSize);
    jpeg_destroy_compress(&cinfo);
    std::free(out);
    return bytes;
}

}  // namespace

Bytes encode(const Picture& picture, const Options& options) { return compress(picture, options, nullptr, 0); }

Bytes encodeManyScans(int width, int height) {
    // DC in two steps for all components, then each AC coefficient of each component
    // in three steps of successive approximation: 2 + 3 * 63 * 3 scans.
    std::vector<jpeg_scan_info> script;
    script.push_back({3, {0, 1, 2, 0}, 0, 0, 0, 1});
    script.push_back({3, {0, 1, 2, 0}, 0, 0, 1, 0});
    for (int c = 0; c < 3; ++c) {
        for (int k = 1; k < 64; ++k) {
            script.push_back({1, {c, 0, 0, 0}, k, k, 0, 2});
            script.push_back({1, {c, 0, 0, 0}, k, k, 2, 1});
            script.push_back({1, {c, 0, 0, 0}, k, k, 1, 0});
        }
    }
    Options options;
    options.progressive = true;
    return compress(photoLike(width, height), options, script.data(), static_cast<int>(script.size()));
}

std::vector<Sample> seedSamples() {
    const std::vector<std::vector<uint8_t>> rgb = {{255, 0, 0}, {0, 0, 255}, {30, 200, 90}};
    Options progressive;
    progressive.progressive = true;
    Options full;
    full.fullChroma = true;
    full.quality = 100;
    return {
        {"baseline-5x16", encode(bands(5, 16, Space::Rgb, rgb), full)},
        {"baseline-photo-61x47", encode(photoLike(61, 47))},
        {"progressive-photo-61x47", encode(photoLike(61, 47), progressive)},
        {"gray-9x16", encode(bands(9, 16, Space::Gray, {{40}, {200}}))},
        {"cmyk-8x16", encode(bands(8, 16, Space::Cmyk, {{255, 128, 0, 255}, {0, 255, 255, 128}}))},
        {"ycck-8x16", encode(bands(8, 16, Space::Ycck, {{255, 128, 0, 255}, {0, 255, 255, 128}}))},
    };
}

}  // namespace jpeg_samples
