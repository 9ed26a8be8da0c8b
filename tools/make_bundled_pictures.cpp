// make_bundled_pictures: draws the pictures that ship in the image database and writes
// them in every kind the saver reads: JPEG (baseline, progressive, greyscale, with
// restart markers), BMP (1, 4, 8, 16, 24 and 32 bits, RLE8, RLE4, top-down) and GIF
// (interlaced, several images with local colour tables, 16 and 2 colours).
//
// Usage: make_bundled_pictures OUTPUT-FOLDER
//
// Every picture is drawn here from gradients and simple shapes, so the project owns all
// of them. The output is the same on every run.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

// After <cstdio>: the library header needs FILE and size_t.
#include <jpeglib.h>

namespace {

using Bytes = std::vector<uint8_t>;

// ---- Drawing ---------------------------------------------------------------------

struct Rgb {
    float r = 0, g = 0, b = 0;
};

Rgb rgb(int hex) { return {float((hex >> 16) & 255), float((hex >> 8) & 255), float(hex & 255)}; }

Rgb mix(Rgb a, Rgb b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// A colour ramp through evenly spaced stops.
Rgb ramp(const std::vector<Rgb>& stops, float t) {
    t = std::clamp(t, 0.0f, 1.0f) * float(stops.size() - 1);
    const size_t i = std::min(stops.size() - 2, size_t(t));
    return mix(stops[i], stops[i + 1], t - float(i));
}

uint8_t byteOf(float v) { return uint8_t(std::clamp(std::lround(v), 0L, 255L)); }

// How much of the pixel at distance `d` from an edge lies inside (d < 0 is inside).
float coverage(float d) { return std::clamp(0.5f - d, 0.0f, 1.0f); }

class Picture {
public:
    Picture(int w, int h) : width(w), height(h), pixels(size_t(w) * size_t(h)) {}

    int width, height;
    std::vector<Rgb> pixels;

    Rgb& at(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    const Rgb& at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }

    void fill(const std::function<Rgb(float x, float y)>& f) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) at(x, y) = f(float(x) + 0.5f, float(y) + 0.5f);
    }
    // Paints `colour` with the opacity that `shape` gives each pixel centre.
    void paint(Rgb colour, const std::function<float(float x, float y)>& shape, float opacity = 1) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const float a = shape(float(x) + 0.5f, float(y) + 0.5f) * opacity;
                if (a > 0) at(x, y) = mix(at(x, y), colour, a);
            }
    }
    void disc(float cx, float cy, float r, Rgb colour, float opacity = 1) {
        paint(colour, [=](float x, float y) { return coverage(std::hypot(x - cx, y - cy) - r); }, opacity);
    }
    void ring(float cx, float cy, float r, float thickness, Rgb colour, float opacity = 1) {
        paint(colour, [=](float x, float y) { return coverage(std::fabs(std::hypot(x - cx, y - cy) - r) - thickness / 2); },
              opacity);
    }
    void rect(float x0, float y0, float x1, float y1, Rgb colour, float opacity = 1) {
        paint(colour,
              [=](float x, float y) {
                  return std::min(std::min(coverage(x0 - x), coverage(x - x1)), std::min(coverage(y0 - y), coverage(y - y1)));
              },
              opacity);
    }
    // A convex polygon, its corners in either turning order.
    void polygon(const std::vector<std::pair<float, float>>& p, Rgb colour, float opacity = 1) {
        float area = 0;
        for (size_t i = 0; i < p.size(); ++i) {
            const auto& a = p[i];
            const auto& b = p[(i + 1) % p.size()];
            area += a.first * b.second - b.first * a.second;
        }
        const float sign = area > 0 ? 1.0f : -1.0f;
        paint(colour,
              [&](float x, float y) {
                  float inside = 1;
                  for (size_t i = 0; i < p.size(); ++i) {
                      const auto& a = p[i];
                      const auto& b = p[(i + 1) % p.size()];
                      const float ex = b.first - a.first, ey = b.second - a.second;
                      const float d = sign * ((x - a.first) * ey - (y - a.second) * ex) / std::hypot(ex, ey);
                      inside = std::min(inside, coverage(d));
                  }
                  return inside;
              },
              opacity);
    }
    // Everything below the curve y = f(x).
    void below(const std::function<float(float)>& f, Rgb colour, float opacity = 1) {
        paint(colour, [&](float x, float y) { return coverage(f(x) - y); }, opacity);
    }
};

// ---- Palettes and indexed pictures -------------------------------------------------

struct Indexed {
    int width = 0, height = 0;
    std::vector<Rgb> palette;
    std::vector<uint8_t> indices;
    uint8_t& at(int x, int y) { return indices[size_t(y) * size_t(width) + size_t(x)]; }
};

// The nearest palette entry to each pixel; with `dither`, a 4x4 ordered dither first.
Indexed quantize(const Picture& p, const std::vector<Rgb>& palette, float dither = 0) {
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    Indexed out;
    out.width = p.width;
    out.height = p.height;
    out.palette = palette;
    out.indices.resize(size_t(p.width) * size_t(p.height));
    std::unordered_map<uint32_t, uint8_t> cache;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            Rgb c = p.at(x, y);
            const float d = (float(bayer[y & 3][x & 3]) / 16.0f - 0.47f) * dither;
            c = {c.r + d, c.g + d, c.b + d};
            const uint32_t key = uint32_t(byteOf(c.r)) << 16 | uint32_t(byteOf(c.g)) << 8 | byteOf(c.b);
            auto found = cache.find(key);
            if (found == cache.end()) {
                float best = 1e30f;
                uint8_t bestIndex = 0;
                for (size_t i = 0; i < palette.size(); ++i) {
                    const float dr = c.r - palette[i].r, dg = c.g - palette[i].g, db = c.b - palette[i].b;
                    const float e = dr * dr * 0.3f + dg * dg * 0.59f + db * db * 0.11f;
                    if (e < best) {
                        best = e;
                        bestIndex = uint8_t(i);
                    }
                }
                found = cache.emplace(key, bestIndex).first;
            }
            out.at(x, y) = found->second;
        }
    return out;
}

// 6 x 7 x 6 levels of red, green and blue: 252 colours.
std::vector<Rgb> colourCube() {
    std::vector<Rgb> p;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 7; ++g)
            for (int b = 0; b < 6; ++b) p.push_back({r * 51.0f, g * 42.5f, b * 51.0f});
    return p;
}

// ---- Writers -----------------------------------------------------------------------

bool writeFile(const std::string& path, const Bytes& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

void put16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void put32(Bytes& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

enum class Jpeg { baseline, progressive, grey, restart };

Bytes jpegBytes(const Picture& p, Jpeg kind, int quality) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(p.width);
    cinfo.image_height = JDIMENSION(p.height);
    const bool grey = kind == Jpeg::grey;
    cinfo.input_components = grey ? 1 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (kind == Jpeg::progressive) jpeg_simple_progression(&cinfo);
    if (kind == Jpeg::restart) {
        // Full-resolution colour and a restart marker every few blocks.
        cinfo.comp_info[0].h_samp_factor = cinfo.comp_info[0].v_samp_factor = 1;
        cinfo.restart_interval = 6;
        cinfo.optimize_coding = TRUE;
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(size_t(p.width) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = int(cinfo.next_scanline);
        for (int x = 0; x < p.width; ++x) {
            const Rgb& c = p.at(x, y);
            if (grey) {
                row[size_t(x)] = byteOf(c.r * 0.299f + c.g * 0.587f + c.b * 0.114f);
            } else {
                row[size_t(x) * 3] = byteOf(c.r);
                row[size_t(x) * 3 + 1] = byteOf(c.g);
                row[size_t(x) * 3 + 2] = byteOf(c.b);
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

constexpr uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2;

// A BMP file around `pixels`: file header, 40-byte information header, colour table.
Bytes bmpFile(int width, int height, int bits, uint32_t compression, const std::vector<Rgb>& palette,
              const Bytes& pixels) {
    Bytes b;
    const uint32_t offset = 14 + 40 + uint32_t(palette.size()) * 4;
    b.push_back('B');
    b.push_back('M');
    put32(b, offset + uint32_t(pixels.size()));
    put32(b, 0);
    put32(b, offset);
    put32(b, 40);
    put32(b, uint32_t(width));
    put32(b, uint32_t(height));  // negative for rows stored top-down
    put16(b, 1);
    put16(b, uint32_t(bits));
    put32(b, compression);
    put32(b, uint32_t(pixels.size()));
    put32(b, 2835);
    put32(b, 2835);
    put32(b, uint32_t(palette.size()));
    put32(b, 0);
    for (const Rgb& c : palette) {
        b.push_back(byteOf(c.b));
        b.push_back(byteOf(c.g));
        b.push_back(byteOf(c.r));
        b.push_back(0);
    }
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

// Uncompressed rows, bottom-up unless `topDown`.
Bytes bmpRgb(const Picture& p, int bits, bool topDown) {
    const size_t stride = (size_t(p.width) * size_t(bits) / 8 + 3) & ~size_t(3);
    Bytes pixels;
    pixels.reserve(stride * size_t(p.height));
    for (int i = 0; i < p.height; ++i) {
        const int y = topDown ? i : p.height - 1 - i;
        const size_t start = pixels.size();
        for (int x = 0; x < p.width; ++x) {
            const Rgb& c = p.at(x, y);
            if (bits == 16) {
                put16(pixels, uint32_t(byteOf(c.r) >> 3) << 10 | uint32_t(byteOf(c.g) >> 3) << 5 | (byteOf(c.b) >> 3));
            } else {
                pixels.push_back(byteOf(c.b));
                pixels.push_back(byteOf(c.g));
                pixels.push_back(byteOf(c.r));
                if (bits == 32) pixels.push_back(0);
            }
        }
        pixels.resize(start + stride, 0);
    }
    return bmpFile(p.width, topDown ? -p.height : p.height, bits, BI_RGB, {}, pixels);
}

Bytes bmpIndexed(const Indexed& p, int bits) {
    const size_t stride = ((size_t(p.width) * size_t(bits) + 31) / 32) * 4;
    Bytes pixels(stride * size_t(p.height), 0);
    for (int i = 0; i < p.height; ++i) {
        uint8_t* row = &pixels[size_t(i) * stride];
        const int y = p.height - 1 - i;
        for (int x = 0; x < p.width; ++x) {
            const uint32_t v = p.indices[size_t(y) * size_t(p.width) + size_t(x)];
            const size_t bit = size_t(x) * size_t(bits);
            row[bit / 8] = uint8_t(row[bit / 8] | (v << (8 - bits - int(bit % 8))));
        }
    }
    return bmpFile(p.width, p.height, bits, BI_RGB, p.palette, pixels);
}

// Run-length rows: runs of one index in encoded mode, stretches of changing indices in
// absolute mode, an end-of-line code after each row and the end-of-bitmap code last.
Bytes bmpRle(const Indexed& p, int bits) {
    Bytes out;
    for (int y = p.height - 1; y >= 0; --y) {
        const uint8_t* row = &p.indices[size_t(y) * size_t(p.width)];
        int x = 0;
        while (x < p.width) {
            int run = 1;
            while (x + run < p.width && run < 255 && row[x + run] == row[x]) ++run;
            if (run >= 3 || p.width - x < 3) {
                out.push_back(uint8_t(run));
                out.push_back(bits == 8 ? row[x] : uint8_t(row[x] << 4 | row[x]));
                x += run;
                continue;
            }
            // A literal stretch up to the next run of three.
            int n = 0;
            while (x + n < p.width && n < 255) {
                if (x + n + 2 < p.width && row[x + n] == row[x + n + 1] && row[x + n] == row[x + n + 2]) break;
                ++n;
            }
            if (n < 3) n = std::min(3, p.width - x);
            out.push_back(0);
            out.push_back(uint8_t(n));
            const size_t start = out.size();
            if (bits == 8) {
                out.insert(out.end(), row + x, row + x + n);
            } else {
                for (int i = 0; i < n; i += 2) out.push_back(uint8_t(row[x + i] << 4 | (i + 1 < n ? row[x + i + 1] : 0)));
            }
            if ((out.size() - start) % 2) out.push_back(0);  // absolute runs end on a 16-bit boundary
            x += n;
        }
        out.push_back(0);
        out.push_back(y == 0 ? 1 : 0);
    }
    return bmpFile(p.width, p.height, bits, bits == 8 ? BI_RLE8 : BI_RLE4, p.palette, out);
}

// GIF LZW: the clear code first, the code width grows once the next entry needs another
// bit, a clear code when the table is full.
Bytes lzw(const std::vector<uint8_t>& indices, int minCodeSize) {
    Bytes out;
    uint64_t acc = 0;
    int count = 0;
    auto put = [&](uint32_t code, int width) {
        acc |= uint64_t(code) << count;
        count += width;
        while (count >= 8) {
            out.push_back(uint8_t(acc));
            acc >>= 8;
            count -= 8;
        }
    };
    const uint32_t clear = 1u << minCodeSize, end = clear + 1;
    int width = minCodeSize + 1;
    uint32_t next = end + 1;
    std::unordered_map<uint32_t, uint32_t> table;
    put(clear, width);
    uint32_t current = indices[0];
    for (size_t i = 1; i < indices.size(); ++i) {
        const uint32_t key = current << 8 | indices[i];
        auto found = table.find(key);
        if (found != table.end()) {
            current = found->second;
            continue;
        }
        put(current, width);
        if (next < 4096) {
            table.emplace(key, next++);
            if (next > (1u << width) && width < 12) ++width;
        } else {
            put(clear, width);
            table.clear();
            next = end + 1;
            width = minCodeSize + 1;
        }
        current = indices[i];
    }
    put(current, width);
    put(end, width);
    if (count > 0) out.push_back(uint8_t(acc));
    return out;
}

struct GifImage {
    int left = 0, top = 0;
    Indexed picture;
    bool interlaced = false;
    bool localTable = false;  // the picture's palette as a local table
};

int tableField(size_t colours) {
    int field = 0;
    while ((2u << field) < colours) ++field;
    return field;
}

void putTable(Bytes& b, const std::vector<Rgb>& palette, int field) {
    for (size_t i = 0; i < (2u << field); ++i) {
        const Rgb c = i < palette.size() ? palette[i] : Rgb{};
        b.push_back(byteOf(c.r));
        b.push_back(byteOf(c.g));
        b.push_back(byteOf(c.b));
    }
}

Bytes gifFile(int width, int height, const std::vector<Rgb>& global, const std::vector<GifImage>& images,
              const char* version = "89a") {
    Bytes b = {'G', 'I', 'F', uint8_t(version[0]), uint8_t(version[1]), uint8_t(version[2])};
    put16(b, uint32_t(width));
    put16(b, uint32_t(height));
    const int field = tableField(global.size());
    b.push_back(uint8_t(0x80 | field));
    b.push_back(0);
    b.push_back(0);
    putTable(b, global, field);
    if (version[1] == '9') {
        const char comment[] = "Drawn by make_bundled_pictures";
        b.insert(b.end(), {0x21, 0xFE, uint8_t(sizeof comment - 1)});
        b.insert(b.end(), comment, comment + sizeof comment - 1);
        b.push_back(0);
    }
    for (const GifImage& image : images) {
        const Indexed& p = image.picture;
        b.push_back(0x2C);
        put16(b, uint32_t(image.left));
        put16(b, uint32_t(image.top));
        put16(b, uint32_t(p.width));
        put16(b, uint32_t(p.height));
        const int local = tableField(p.palette.size());
        b.push_back(uint8_t((image.localTable ? 0x80 | local : 0) | (image.interlaced ? 0x40 : 0)));
        if (image.localTable) putTable(b, p.palette, local);
        std::vector<uint8_t> stream;
        if (image.interlaced) {
            const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int r = starts[pass]; r < p.height; r += steps[pass])
                    stream.insert(stream.end(), p.indices.begin() + long(r) * p.width,
                                  p.indices.begin() + long(r + 1) * p.width);
        } else {
            stream = p.indices;
        }
        const int minCodeSize = std::max(2, tableField(global.size()) + 1);
        b.push_back(uint8_t(minCodeSize));
        const Bytes data = lzw(stream, minCodeSize);
        for (size_t at = 0; at < data.size(); at += 255) {
            const size_t n = std::min<size_t>(255, data.size() - at);
            b.push_back(uint8_t(n));
            b.insert(b.end(), data.begin() + long(at), data.begin() + long(at + n));
        }
        b.push_back(0);
    }
    b.push_back(0x3B);
    return b;
}

// ---- The pictures ------------------------------------------------------------------

const float kPi = 3.14159265f;

Picture sunset() {
    Picture p(640, 420);
    const float horizon = 250;
    p.fill([&](float, float y) {
        return ramp({rgb(0x1B1F4B), rgb(0x6A3D7A), rgb(0xE2725B), rgb(0xF9C46B)}, y / horizon);
    });
    p.disc(420, 215, 120, rgb(0xFFD58A), 0.25f);
    p.disc(420, 215, 70, rgb(0xFFE9A8));
    p.below([&](float) { return horizon; }, rgb(0x28335E));
    for (int i = 0; i < 14; ++i) {
        const float y = horizon + 6 + float(i * i) * 0.9f;
        const float half = 95 - float(i) * 5.5f;
        p.rect(420 - half, y, 420 + half, y + 2 + float(i) * 0.3f, rgb(0xF7B267), 0.85f);
    }
    p.below([&](float x) { return 300 + 30 * std::sin(x / 70) + 12 * std::sin(x / 23 + 1); }, rgb(0x1D2340));
    p.below([&](float x) { return 360 + 18 * std::sin(x / 40 + 2); }, rgb(0x141830));
    return p;
}

Picture rings() {
    Picture p(520, 520);
    p.fill([&](float x, float y) {
        const float d = std::hypot(x - 260, y - 260) / 368;
        return mix(rgb(0x24304A), rgb(0x0B0F1A), d);
    });
    const std::vector<Rgb> hues = {rgb(0xEF476F), rgb(0xFFD166), rgb(0x06D6A0), rgb(0x118AB2), rgb(0x9B5DE5)};
    for (int i = 0; i < 12; ++i) p.ring(260, 260, 30 + float(i) * 19, 11, hues[size_t(i) % hues.size()], 0.95f);
    for (int i = 0; i < 8; ++i) {
        const float a = float(i) * kPi / 4;
        p.disc(260 + 205 * std::cos(a), 260 + 205 * std::sin(a), 22, rgb(0xF8F4E3), 0.9f);
    }
    return p;
}

Picture hills() {
    Picture p(600, 360);
    p.fill([&](float, float y) { return ramp({rgb(0xDDE7F0), rgb(0xA9BCCF), rgb(0x7A8FA6)}, y / 360); });
    p.disc(470, 80, 38, rgb(0xFFFFFF), 0.9f);
    const Rgb shades[] = {rgb(0x9AA6B2), rgb(0x76838F), rgb(0x56626D), rgb(0x39434C), rgb(0x22292F)};
    for (int i = 0; i < 5; ++i) {
        const float base = 150 + float(i) * 45;
        p.below([&](float x) { return base + 28 * std::sin(x / (90 - float(i) * 9) + float(i) * 1.7f) +
                                      10 * std::sin(x / 17 + float(i)); },
                shades[i]);
    }
    return p;
}

Picture mosaic() {
    Picture p(480, 320);
    p.fill([&](float x, float y) {
        const int tx = int(x / 40), ty = int(y / 40);
        const float t = float(tx + ty) / 18;
        Rgb base = ramp({rgb(0x2A9D8F), rgb(0xE9C46A), rgb(0xF4A261), rgb(0xE76F51)}, t);
        if ((tx + ty) % 2) base = mix(base, rgb(0xFFFFFF), 0.25f);
        return base;
    });
    for (int ty = 0; ty < 8; ++ty)
        for (int tx = 0; tx < 12; ++tx)
            if ((tx * 7 + ty * 3) % 5 == 0) p.disc(float(tx) * 40 + 20, float(ty) * 40 + 20, 12, rgb(0x264653), 0.9f);
    return p;
}

Picture bubbles() {
    Picture p(240, 200);
    p.fill([&](float x, float y) { return mix(rgb(0x0F4C5C), rgb(0x5FA8A0), (x + y) / 440); });
    struct B {
        float x, y, r;
        int colour;
    } bubbles[] = {{60, 60, 38, 0xF6BD60}, {150, 80, 52, 0xF28482}, {95, 145, 30, 0x84A59D},
                   {190, 160, 26, 0xF7EDE2}, {30, 165, 18, 0xF5CAC3}, {205, 40, 16, 0xF6BD60}};
    for (const B& b : bubbles) {
        p.disc(b.x, b.y, b.r, rgb(b.colour), 0.85f);
        p.disc(b.x - b.r * 0.35f, b.y - b.r * 0.35f, b.r * 0.25f, rgb(0xFFFFFF), 0.6f);
    }
    return p;
}

Picture glass() {
    Picture p(210, 200);
    p.fill([&](float x, float y) { return ramp({rgb(0x3A0CA3), rgb(0x7209B7), rgb(0xF72585)}, (x + 2 * y) / 610); });
    p.rect(20, 30, 120, 130, rgb(0x4CC9F0), 0.55f);
    p.rect(70, 70, 180, 170, rgb(0xFFFFFF), 0.35f);
    p.rect(110, 20, 190, 90, rgb(0xFEE440), 0.5f);
    p.ring(105, 100, 80, 4, rgb(0xFFFFFF), 0.7f);
    return p;
}

Picture waves() {
    Picture p(260, 200);
    p.fill([&](float x, float y) {
        // Bands that follow a swell, each lighter towards its crest.
        const float swell = y + 14 * std::sin(x / 26) + 6 * std::sin(x / 11 + y / 30);
        const float band = std::floor(swell / 25);
        const float within = swell / 25 - band;
        const Rgb water = ramp({rgb(0x03045E), rgb(0x0077B6), rgb(0x00B4D8), rgb(0x90E0EF)}, band / 8);
        return mix(water, rgb(0xCAF0F8), (1 - within) * 0.45f);
    });
    return p;
}

// Sky above, sun at the upper left, grass below: upside down at a glance.
Picture topDownScene() {
    Picture p(200, 220);
    p.fill([&](float, float y) { return ramp({rgb(0x4EA8DE), rgb(0xB8E0F6)}, y / 150); });
    p.disc(45, 42, 24, rgb(0xFFD23F));
    p.below([](float x) { return 150 + 10 * std::sin(x / 30); }, rgb(0x55A630));
    p.rect(120, 95, 170, 150, rgb(0xF2E8CF));
    p.polygon({{112, 98}, {145, 70}, {178, 98}}, rgb(0xBC4749));
    p.rect(138, 120, 152, 150, rgb(0x6A4C93));
    return p;
}

Picture tulips() {
    Picture p(320, 260);
    p.fill([&](float, float y) { return ramp({rgb(0xFFF1E6), rgb(0xFDE2E4), rgb(0xBEE1E6)}, y / 260); });
    p.below([](float x) { return 200 + 8 * std::sin(x / 25); }, rgb(0x6A994E));
    const int colours[] = {0xE63946, 0xF4A261, 0x9D4EDD, 0xFF006E, 0xFFBE0B};
    for (int i = 0; i < 5; ++i) {
        const float x = 40 + float(i) * 60, top = 80 + float((i * 37) % 50);
        p.rect(x - 2, top, x + 2, 215, rgb(0x386641));
        p.polygon({{x, 160}, {x + 22, 130}, {x + 6, 175}}, rgb(0x4F772D));
        p.disc(x, top, 20, rgb(colours[i]));
        // Three pointed petals on the cup.
        p.polygon({{x - 20, top + 2}, {x - 16, top - 30}, {x - 2, top}}, rgb(colours[i]));
        p.polygon({{x - 9, top}, {x, top - 34}, {x + 9, top}}, mix(rgb(colours[i]), rgb(0xFFFFFF), 0.2f));
        p.polygon({{x + 2, top}, {x + 16, top - 30}, {x + 20, top + 2}}, rgb(colours[i]));
    }
    return p;
}

// ---- Indexed pictures drawn with their own palettes --------------------------------

Indexed flags() {
    const std::vector<Rgb> palette = {rgb(0xF1FAEE), rgb(0xE63946), rgb(0x1D3557), rgb(0x457B9D), rgb(0xA8DADC),
                                      rgb(0xFFB703), rgb(0xFB8500), rgb(0x023047), rgb(0x8ECAE6), rgb(0x2A9D8F),
                                      rgb(0x264653), rgb(0xE9C46A), rgb(0xF4A261), rgb(0x6D597A), rgb(0xB56576),
                                      rgb(0x000000)};
    Picture p(400, 300);
    p.fill([&](float x, float y) { return palette[size_t(std::floor((x + y) / 70)) % 5 + 3]; });
    for (int i = 0; i < 6; ++i) {
        const float x = 30 + float(i) * 60;
        p.rect(x, 40, x + 6, 260, palette[15]);
        p.polygon({{x + 6, 40}, {x + 56, 40 + 20 + float(i) * 4}, {x + 6, 100 + float(i) * 6}}, palette[size_t(i) % 5 + 10]);
    }
    p.disc(200, 200, 50, palette[0]);
    p.disc(200, 200, 30, palette[1]);
    return quantize(p, palette);
}

Indexed moire() {
    Picture p(640, 480);
    p.fill([&](float x, float y) {
        const float a = std::sin(std::hypot(x - 220, y - 240) / 6);
        const float b = std::sin(std::hypot(x - 420, y - 240) / 6);
        return a + b > 0 ? rgb(0xF6F1E9) : rgb(0x1F2A44);
    });
    return quantize(p, {rgb(0x1F2A44), rgb(0xF6F1E9)});
}

Indexed skyline() {
    // 256 entries: a sky ramp in 0..191, building and window colours above.
    std::vector<Rgb> palette;
    for (int i = 0; i < 192; ++i) palette.push_back(ramp({rgb(0x0B132B), rgb(0x3A506B), rgb(0xF28F3B)}, float(i) / 191));
    for (int i = 0; i < 64; ++i) palette.push_back(mix(rgb(0x10131C), rgb(0x2B3245), float(i % 16) / 15));
    palette[250] = rgb(0xFFE066);
    palette[251] = rgb(0xFFF3B0);
    Indexed out;
    out.width = 520;
    out.height = 400;
    out.palette = palette;
    out.indices.resize(size_t(out.width) * size_t(out.height));
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) out.at(x, y) = uint8_t(y * 191 / (out.height - 1));
    int x = 0, n = 0;
    while (x < out.width) {
        const int w = 30 + (n * 37) % 45, top = 140 + (n * 53) % 150;
        const uint8_t body = uint8_t(192 + (n * 5) % 16);
        for (int yy = top; yy < out.height; ++yy)
            for (int xx = x; xx < std::min(out.width, x + w); ++xx) {
                const bool window = (xx - x) % 10 >= 4 && (xx - x) % 10 < 8 && (yy - top) % 14 >= 6 &&
                                    (yy - top) % 14 < 11 && xx < x + w - 3 && yy < out.height - 20;
                out.at(xx, yy) = window && ((xx / 10 + yy / 14 + n) % 3 != 0) ? uint8_t(250 + (xx / 10 + n) % 2) : body;
            }
        x += w + 2;
        ++n;
    }
    return out;
}

Indexed kites() {
    const std::vector<Rgb> palette = {rgb(0x8ECAE6), rgb(0xA9D6E5), rgb(0xC5E4EF), rgb(0xFFFFFF), rgb(0xE63946),
                                      rgb(0xF1FAEE), rgb(0xFFB703), rgb(0xFB8500), rgb(0x219EBC), rgb(0x023047),
                                      rgb(0x8338EC), rgb(0x3A86FF), rgb(0xFF006E), rgb(0x06D6A0), rgb(0x118AB2),
                                      rgb(0x073B4C)};
    Picture p(600, 450);
    p.fill([&](float, float y) { return palette[size_t(std::min(2.0f, y / 150))]; });
    p.disc(120, 110, 40, palette[3]);
    p.disc(160, 100, 50, palette[3]);
    p.disc(200, 115, 35, palette[3]);
    struct Kite {
        float x, y, s;
        int a, b;
    } kites[] = {{300, 150, 70, 4, 6}, {460, 110, 50, 10, 12}, {420, 300, 60, 13, 11}, {170, 300, 45, 7, 12}};
    for (const Kite& k : kites) {
        p.polygon({{k.x, k.y - k.s}, {k.x + k.s * 0.7f, k.y}, {k.x, k.y}}, palette[size_t(k.a)]);
        p.polygon({{k.x, k.y - k.s}, {k.x, k.y}, {k.x - k.s * 0.7f, k.y}}, palette[size_t(k.b)]);
        p.polygon({{k.x - k.s * 0.7f, k.y}, {k.x + k.s * 0.7f, k.y}, {k.x, k.y + k.s * 1.3f}}, palette[size_t(k.a)]);
        p.rect(k.x - 1, k.y + k.s * 1.3f, k.x + 1, std::min(445.0f, k.y + k.s * 3), palette[15]);
    }
    return quantize(p, palette);
}

// A 256-entry ramp and a smooth field of indices: an aurora over a dark sky.
Indexed aurora() {
    std::vector<Rgb> palette;
    for (int i = 0; i < 256; ++i)
        palette.push_back(ramp({rgb(0x020024), rgb(0x0B3D5C), rgb(0x00A878), rgb(0x9BE564), rgb(0xF2F7A1)}, float(i) / 255));
    Indexed out;
    out.width = 480;
    out.height = 360;
    out.palette = palette;
    out.indices.resize(size_t(out.width) * size_t(out.height));
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const float curtain = 150 + 40 * std::sin(float(x) / 60) + 20 * std::sin(float(x) / 23 + 1);
            const float d = std::fabs(float(y) - curtain);
            float v = std::exp(-d * d / 3000) * (0.75f + 0.25f * std::sin(float(x) / 9));
            v = std::max(v, float(y) / float(out.height) * 0.18f);
            if (y > 300 + 10 * std::sin(float(x) / 50)) v = 0.02f;
            out.at(x, y) = uint8_t(std::clamp(int(v * 255), 0, 255));
        }
    return out;
}

// The background and the three panels of the layered GIF. Each panel uses its own quarter
// of the 256 indices; its local table carries the colours of every quarter drawn so far
// (the table of the last image colours the whole picture) and grey in the others.
std::vector<GifImage> layers(std::vector<Rgb>& global) {
    const std::vector<std::vector<Rgb>> quarters = {
        {rgb(0xFEFAE0), rgb(0xDDA15E), rgb(0xBC6C25)},
        {rgb(0x283618), rgb(0x606C38), rgb(0xA3B18A)},
        {rgb(0x03045E), rgb(0x0096C7), rgb(0x90E0EF)},
        {rgb(0x6A040F), rgb(0xD00000), rgb(0xFFBA08)},
    };
    auto quarterRamp = [&](int q) {
        std::vector<Rgb> r;
        for (int i = 0; i < 64; ++i) r.push_back(ramp(quarters[size_t(q)], float(i) / 63));
        return r;
    };
    auto table = [&](int upTo) {
        std::vector<Rgb> t;
        for (int q = 0; q < 4; ++q) {
            const std::vector<Rgb> r = q <= upTo ? quarterRamp(q) : std::vector<Rgb>(64, rgb(0x808080));
            t.insert(t.end(), r.begin(), r.end());
        }
        return t;
    };
    global = table(0);
    auto panel = [&](int q, int w, int h, int left, int top, bool interlaced) {
        GifImage g;
        g.left = left;
        g.top = top;
        g.interlaced = interlaced;
        g.localTable = q > 0;
        g.picture.width = w;
        g.picture.height = h;
        g.picture.palette = table(q);
        g.picture.indices.resize(size_t(w) * size_t(h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                float v;
                if (q == 0) {
                    v = float(y) / float(h);
                } else {
                    const float d = std::hypot(float(x - w / 2), float(y - h / 2)) / float(std::min(w, h) / 2);
                    v = d < 1 ? 1 - d * 0.8f : float((x / 12 + y / 12) % 2) * 0.15f;
                }
                g.picture.at(x, y) = uint8_t(q * 64 + std::clamp(int(v * 63), 0, 63));
            }
        return g;
    };
    return {panel(0, 560, 400, 0, 0, false), panel(1, 200, 200, 40, 40, false), panel(2, 220, 180, 300, 60, true),
            panel(3, 300, 120, 130, 260, false)};
}

Indexed target16() {
    std::vector<Rgb> palette;
    for (int i = 0; i < 16; ++i) palette.push_back(ramp({rgb(0x22223B), rgb(0x9A8C98), rgb(0xF2E9E4), rgb(0xC9ADA7)}, float(i) / 15));
    Indexed out;
    out.width = out.height = 300;
    out.palette = palette;
    out.indices.resize(300 * 300);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x) {
            const float d = std::hypot(float(x) - 150, float(y) - 150);
            const float a = std::atan2(float(y) - 150, float(x) - 150);
            const int ring = int(d / 18);
            out.at(x, y) = uint8_t((ring + (std::sin(a * 6) > 0 ? 3 : 0)) % 16);
        }
    return out;
}

Indexed checkerboard2(int w, int h) {
    Indexed out;
    out.width = w;
    out.height = h;
    out.palette = {rgb(0x2B2D42), rgb(0xEDF2F4)};
    out.indices.resize(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float d = std::hypot(float(x - w / 2), float(y - h / 2));
            out.at(x, y) = uint8_t(((x / 16 + y / 16) % 2) ^ (d < float(h) * 0.35f ? 1 : 0));
        }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: make_bundled_pictures OUTPUT-FOLDER\n");
        return 2;
    }
    const std::string dir = argv[1];
    struct Output {
        const char* name;
        std::function<Bytes()> make;
    };
    const std::vector<Output> outputs = {
        {"sunset-baseline.jpg", [] { return jpegBytes(sunset(), Jpeg::baseline, 85); }},
        {"rings-progressive.jpg", [] { return jpegBytes(rings(), Jpeg::progressive, 85); }},
        {"hills-grey.jpg", [] { return jpegBytes(hills(), Jpeg::grey, 85); }},
        {"mosaic-restart.jpeg", [] { return jpegBytes(mosaic(), Jpeg::restart, 80); }},
        {"moire-1bit.bmp", [] { return bmpIndexed(moire(), 1); }},
        {"flags-4bit.bmp", [] { return bmpIndexed(flags(), 4); }},
        {"tulips-8bit.bmp", [] { return bmpIndexed(quantize(tulips(), colourCube(), 40), 8); }},
        {"waves-16bit.bmp", [] { return bmpRgb(waves(), 16, false); }},
        {"bubbles-24bit.bmp", [] { return bmpRgb(bubbles(), 24, false); }},
        {"glass-32bit.bmp", [] { return bmpRgb(glass(), 32, false); }},
        {"house-topdown.bmp", [] { return bmpRgb(topDownScene(), 24, true); }},
        {"skyline-rle8.bmp", [] { return bmpRle(skyline(), 8); }},
        {"kites-rle4.bmp", [] { return bmpRle(kites(), 4); }},
        {"aurora-interlaced.gif", [] {
             Indexed a = aurora();
             return gifFile(a.width, a.height, a.palette, {GifImage{0, 0, a, true, false}});
         }},
        {"layers-local-tables.gif", [] {
             std::vector<Rgb> global;
             std::vector<GifImage> images = layers(global);
             return gifFile(560, 400, global, images);
         }},
        {"target-16.gif", [] {
             Indexed t = target16();
             return gifFile(t.width, t.height, t.palette, {GifImage{0, 0, t, false, false}}, "87a");
         }},
        {"checks-2.gif", [] {
             // One image inside a larger screen: the margin keeps colour 0.
             Indexed c = checkerboard2(224, 176);
             return gifFile(256, 200, c.palette, {GifImage{16, 12, c, false, false}});
         }},
    };
    size_t total = 0;
    for (const Output& o : outputs) {
        const Bytes bytes = o.make();
        if (!writeFile(dir + "/" + o.name, bytes)) {
            std::fprintf(stderr, "make_bundled_pictures: can't write %s/%s\n", dir.c_str(), o.name);
            return 1;
        }
        total += bytes.size();
        std::printf("%-26s %8zu bytes\n", o.name, bytes.size());
    }
    std::printf("%zu pictures, %zu bytes\n", outputs.size(), total);
    return 0;
}
