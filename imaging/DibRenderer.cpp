#include "imaging/DibRenderer.h"

#include <cstring>
#include <new>

#include "imaging/ByteReader.h"
#include "imaging/DibFormat.h"
#include "imaging/DibRle.h"
#include "imaging/DrawPlan.h"
#include "imaging/ImageInfo.h"
#include "imaging/PixelRows.h"

namespace img_lib {

namespace {

// Where each canvas column of the plan finds its source pixel in a row: the byte offset,
// and at 1 and 4 bits the shift that brings the pixel's bits down.
struct Columns {
    std::vector<uint32_t> offset;
    std::vector<uint8_t> shift;
    size_t wholeWordColumns = 0;  // 24 bits: the leading columns that may be read as 4 bytes
};

void buildColumns(const DibFormat& f, const DrawPlan& plan, Columns& c) {
    const size_t n = plan.srcX.size();
    c.offset.resize(n);
    if (f.layout == DibLayout::Indexed1 || f.layout == DibLayout::Indexed4) c.shift.resize(n);
    for (size_t i = 0; i < n; ++i) {
        uint32_t x = plan.srcX[i];
        switch (f.layout) {
            case DibLayout::Indexed1:
                c.offset[i] = x >> 3;
                c.shift[i] = static_cast<uint8_t>(7 - (x & 7));
                break;
            case DibLayout::Indexed4:
                c.offset[i] = x >> 1;
                c.shift[i] = static_cast<uint8_t>(x & 1 ? 0 : 4);
                break;
            case DibLayout::Indexed8: c.offset[i] = x; break;
            case DibLayout::Masked16: c.offset[i] = 2 * x; break;
            case DibLayout::Rgb24: c.offset[i] = 3 * x; break;
            default: c.offset[i] = 4 * x; break;
        }
    }
#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    if (f.layout == DibLayout::Rgb24) {
        // Offsets rise with the column; those below the last one are at least a pixel
        // short of it, so their fourth byte is still inside the row.
        while (c.wholeWordColumns < n && c.offset[c.wholeWordColumns] < c.offset[n - 1]) ++c.wholeWordColumns;
    }
#endif
}

template <bool Wide>
inline uint32_t channelValue(const DibFormat::Channel& ch, uint32_t p) {
    const uint32_t v = (p & ch.mask) >> ch.shift;
    if (!Wide || ch.bits <= 8) return ch.widen[v];
    return static_cast<uint32_t>((uint64_t(v) * 255 + (uint64_t(1) << (ch.bits - 1))) >> ch.bits) << ch.position;
}

template <bool Wide>
inline uint32_t masked(const DibFormat& f, uint32_t p) {
    return channelValue<Wide>(f.channel[0], p) | channelValue<Wide>(f.channel[1], p) |
           channelValue<Wide>(f.channel[2], p);
}

// One canvas row from one source row, through the column table.
template <DibLayout L, bool Wide = false>
void sampleRow(const uint8_t* row, const DibFormat& f, const Columns& c, uint32_t* out, size_t n) {
    const uint32_t* off = c.offset.data();
    size_t i = 0;
    if constexpr (L == DibLayout::Rgb24) {
        // A 4-byte load takes one byte of the next pixel, which lies inside the data for
        // every column left of the last source column (its pixel follows in the row).
        for (; i < c.wholeWordColumns; ++i) {
            uint32_t v;
            std::memcpy(&v, row + off[i], 4);
            out[i] = v & 0xFFFFFF;
        }
    }
    for (; i < n; ++i) {
        const uint8_t* p = row + off[i];
        if constexpr (L == DibLayout::Indexed1) out[i] = f.palette[(*p >> c.shift[i]) & 1];
        else if constexpr (L == DibLayout::Indexed4) out[i] = f.palette[(*p >> c.shift[i]) & 15];
        else if constexpr (L == DibLayout::Indexed8) out[i] = f.palette[*p];
        else if constexpr (L == DibLayout::Masked16) out[i] = masked<Wide>(f, loadLe16(p));
        else if constexpr (L == DibLayout::Rgb24) out[i] = loadLe24(p);
        else if constexpr (L == DibLayout::Rgb32) out[i] = loadLe32(p) & 0xFFFFFF;
        else out[i] = masked<Wide>(f, loadLe32(p));
    }
}

using RowSampler = void (*)(const uint8_t*, const DibFormat&, const Columns&, uint32_t*, size_t);

RowSampler samplerFor(const DibFormat& f) {
    if (f.wideChannels)
        return f.layout == DibLayout::Masked16 ? sampleRow<DibLayout::Masked16, true> : sampleRow<DibLayout::Masked32, true>;
    switch (f.layout) {
        case DibLayout::Indexed1: return sampleRow<DibLayout::Indexed1>;
        case DibLayout::Indexed4: return sampleRow<DibLayout::Indexed4>;
        case DibLayout::Indexed8: return sampleRow<DibLayout::Indexed8>;
        case DibLayout::Masked16: return sampleRow<DibLayout::Masked16>;
        case DibLayout::Rgb24: return sampleRow<DibLayout::Rgb24>;
        case DibLayout::Rgb32: return sampleRow<DibLayout::Rgb32>;
        default: return sampleRow<DibLayout::Masked32>;
    }
}

// How a row reaches the canvas.
enum class RowMode {
    Straight,  // 100 % width: the visible run is converted in one sweep (palette, 24, 32 bits)
    Widened,   // the visible source run is converted once, then picked from per column
    Sampled,   // each column's pixel is read where it lies
};

bool isIndexed(DibLayout l) { return l == DibLayout::Indexed1 || l == DibLayout::Indexed4 || l == DibLayout::Indexed8; }

RowMode chooseMode(const DibFormat& f, const Rect& target, const DrawPlan& plan) {
    if (isIndexed(f.layout) && target.width == f.width) return RowMode::Straight;
    if (f.layout != DibLayout::Rgb24 && f.layout != DibLayout::Rgb32) return RowMode::Sampled;
    if (target.width == f.width) return RowMode::Straight;
    // Converting the whole run pays while it is at most twice the canvas span, that is
    // down to 50 %; smaller draws read only the pixels they show.
    const uint64_t run = uint64_t(plan.srcX.back()) - plan.srcX.front() + 1;
    return run <= 2 * uint64_t(plan.srcX.size()) ? RowMode::Widened : RowMode::Sampled;
}

void drawRows(const Canvas& canvas, const DibFormat& f, const uint8_t* bits, const Rect& target, const DrawPlan& plan) {
    const size_t n = static_cast<size_t>(plan.columns());
    const size_t stride = static_cast<size_t>(canvas.stride);
    const RowMode mode = chooseMode(f, target, plan);
    const size_t first = plan.srcX.front();
    const size_t run = plan.srcX.back() - first + 1;
    const size_t bytesPerPixel = f.layout == DibLayout::Rgb24 ? 3 : 4;
    Columns columns;
    std::vector<uint32_t> widened;
    PalettePlanes planes;
    const bool straightIndexed = mode == RowMode::Straight && isIndexed(f.layout);
    if (straightIndexed && f.layout == DibLayout::Indexed8) splitPalette(f.palette, planes);
    if (mode == RowMode::Sampled) buildColumns(f, plan, columns);
    if (mode == RowMode::Widened) widened.resize(run);
    RowSampler sample = samplerFor(f);

    uint32_t* out = canvas.pixels + static_cast<size_t>(plan.y0) * stride + static_cast<size_t>(plan.x0);
    for (size_t i = 0; i < plan.srcY.size(); ++i, out += stride) {
        uint32_t sy = plan.srcY[i];
        // An enlarged row repeats the canvas row above it.
        if (i > 0 && sy == plan.srcY[i - 1]) {
            std::memcpy(out, out - stride, n * sizeof *out);
            continue;
        }
        const uint8_t* row = f.rowAt(bits, static_cast<int32_t>(sy));
        if (mode == RowMode::Sampled) {
            sample(row, f, columns, out, n);
            continue;
        }
        if (straightIndexed) {
            if (f.layout == DibLayout::Indexed8) convertIndexedRow8(row, first, f.palette, planes, out, n);
            else if (f.layout == DibLayout::Indexed4) convertIndexedRow4(row, first, f.palette, out, n);
            else convertIndexedRow1(row, first, f.palette, out, n);
            continue;
        }
        uint32_t* to = mode == RowMode::Straight ? out : widened.data();
        const size_t count = mode == RowMode::Straight ? n : run;
        if (bytesPerPixel == 3) convertRow24(row + 3 * first, to, count);
        else convertRow32(row + 4 * first, to, count);
        if (mode == RowMode::Widened) {
            const uint32_t* sx = plan.srcX.data();
            for (size_t k = 0; k < n; ++k) out[k] = widened[sx[k] - first];
        }
    }
}

}  // namespace

bool drawDib(const Canvas& canvas, const Rect& target, const BITMAPINFO* info, uint32_t infoBytes, const void* bits,
             uint32_t bitsBytes, const Rect* clip) {
    if (!canvas.pixels || canvas.width <= 0 || canvas.height <= 0 || canvas.stride < canvas.width) return false;
    if (target.width <= 0 || target.height <= 0 || !bits) return false;
    DibFormat format;
    if (!readDibFormat(info, infoBytes, bitsBytes, format)) return false;
    try {
        DrawPlan plan;
        if (!planDraw(canvas, target, clip, format.width, format.height, plan)) return true;
        const uint8_t* data = static_cast<const uint8_t*>(bits);
        if (format.layout == DibLayout::Rle8 || format.layout == DibLayout::Rle4)
            drawRle(canvas, format, data, plan);
        else
            drawRows(canvas, format, data, target, plan);
    } catch (const std::bad_alloc&) {
        // The tables are as large as the visible part of the canvas; without memory for
        // them the picture is left out, as a failed platform draw would be.
        return false;
    }
    return true;
}

bool dibSize(const BITMAPINFO* info, uint32_t infoBytes, int32_t& width, int32_t& height) {
    return readDibSize(info, infoBytes, width, height);
}

bool drawImage(const Canvas& canvas, const Rect& target, const _ImageInfo& image, const Rect* clip) {
    if (!image.bits || !image.info) return false;
    return drawDib(canvas, target, image.info, image.infoBytes, image.bits, image.bitsBytes, clip);
}

}  // namespace img_lib
