#include "imaging/PixelRows.h"

#include <cstring>

#include "imaging/ByteReader.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define GLIMSEL_X86_ROWS 1
#endif

namespace img_lib {

namespace {

void convertRow24Plain(const uint8_t* p, uint32_t* out, size_t n) {
    size_t i = 0;
    // Four pixels from three 32-bit words.
    for (; i + 4 <= n; i += 4, p += 12) {
        const uint32_t a = loadLe32(p), b = loadLe32(p + 4), c = loadLe32(p + 8);
        out[i] = a & 0xFFFFFF;
        out[i + 1] = (a >> 24 | b << 8) & 0xFFFFFF;
        out[i + 2] = (b >> 16 | c << 16) & 0xFFFFFF;
        out[i + 3] = c >> 8;
    }
    for (; i < n; ++i, p += 3)
        out[i] = loadLe24(p);
}

#ifdef GLIMSEL_X86_ROWS
// Sixteen pixels per step: four 16-byte loads, each shuffled into four pixels with a
// zero top byte. A load reads 4 bytes past the 12 it uses, so the vector loop stops while
// at least 4 more bytes follow and the plain loop finishes the row.
__attribute__((target("ssse3"))) void convertRow24Ssse3(const uint8_t* p, uint32_t* out, size_t n) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    size_t i = 0;
    for (; i + 17 <= n; i += 16, p += 48) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 12));
        __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 24));
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 36));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_shuffle_epi8(a, spread));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 4), _mm_shuffle_epi8(b, spread));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_shuffle_epi8(c, spread));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 12), _mm_shuffle_epi8(d, spread));
    }
    convertRow24Plain(p, out + i, n - i);
}
#endif

}  // namespace

void convertRow24(const uint8_t* src, uint32_t* out, size_t n) {
#ifdef GLIMSEL_X86_ROWS
    if (__builtin_cpu_supports("ssse3")) {
        convertRow24Ssse3(src, out, n);
        return;
    }
#endif
    convertRow24Plain(src, out, n);
}

void convertRow32(const uint8_t* src, uint32_t* out, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        uint32_t v;
        std::memcpy(&v, src + 4 * i, 4);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
        v = __builtin_bswap32(v);
#endif
        out[i] = v & 0xFFFFFF;
    }
}

namespace {

void convertIndexedRow8Plain(const uint8_t* p, const uint32_t* palette, uint32_t* out, size_t n) {
    size_t i = 0;
    // Four lookups a step: the loads of one step do not wait for each other.
    for (; i + 4 <= n; i += 4) {
        const uint32_t a = palette[p[i]], b = palette[p[i + 1]], c = palette[p[i + 2]], d = palette[p[i + 3]];
        out[i] = a;
        out[i + 1] = b;
        out[i + 2] = c;
        out[i + 3] = d;
    }
    for (; i < n; ++i) out[i] = palette[p[i]];
}

#ifdef GLIMSEL_X86_ROWS
// 64 pixels a step: each colour byte comes from its 256-byte plane, held in four
// registers, by two 128-entry byte permutes chosen between by the index's top bit; the
// three planes' bytes are then interleaved into pixels. Interleaving works inside each
// 128-bit lane, so the indices are put in the order that makes the pixels come out in
// theirs: source byte 16L + 4m + k holds pixel 16m + 4L + k, which lane L of output m
// takes.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void convertIndexedRow8Vbmi(
    const uint8_t* p, const uint32_t* palette, const PalettePlanes& planes, uint32_t* out, size_t n) {
    alignas(64) uint8_t order[64];
    for (int lane = 0; lane < 4; ++lane)
        for (int m = 0; m < 4; ++m)
            for (int k = 0; k < 4; ++k) order[16 * lane + 4 * m + k] = static_cast<uint8_t>(16 * m + 4 * lane + k);
    const __m512i shuffle = _mm512_load_si512(order);
    const uint8_t* tables[3] = {planes.blue, planes.green, planes.red};
    __m512i low[3], high[3], lowRest[3], highRest[3];
    for (int c = 0; c < 3; ++c) {
        low[c] = _mm512_load_si512(tables[c]);
        lowRest[c] = _mm512_load_si512(tables[c] + 64);
        high[c] = _mm512_load_si512(tables[c] + 128);
        highRest[c] = _mm512_load_si512(tables[c] + 192);
    }
    const __m512i zero = _mm512_setzero_si512();
    size_t i = 0;
    for (; i + 64 <= n; i += 64) {
        const __m512i index = _mm512_maskz_permutexvar_epi8(~__mmask64(0), shuffle, _mm512_loadu_si512(p + i));
        const __mmask64 top = _mm512_movepi8_mask(index);
        __m512i plane[3];
        for (int c = 0; c < 3; ++c) {
            const __m512i lo = _mm512_permutex2var_epi8(low[c], index, lowRest[c]);
            const __m512i hi = _mm512_permutex2var_epi8(high[c], index, highRest[c]);
            plane[c] = _mm512_mask_blend_epi8(top, lo, hi);
        }
        const __m512i bgLow = _mm512_unpacklo_epi8(plane[0], plane[1]);
        const __m512i bgHigh = _mm512_unpackhi_epi8(plane[0], plane[1]);
        const __m512i rLow = _mm512_unpacklo_epi8(plane[2], zero);
        const __m512i rHigh = _mm512_unpackhi_epi8(plane[2], zero);
        _mm512_storeu_si512(out + i, _mm512_unpacklo_epi16(bgLow, rLow));
        _mm512_storeu_si512(out + i + 16, _mm512_unpackhi_epi16(bgLow, rLow));
        _mm512_storeu_si512(out + i + 32, _mm512_unpacklo_epi16(bgHigh, rHigh));
        _mm512_storeu_si512(out + i + 48, _mm512_unpackhi_epi16(bgHigh, rHigh));
    }
    convertIndexedRow8Plain(p + i, palette, out + i, n - i);
}

bool haveVbmi() {
    static const bool have = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                             __builtin_cpu_supports("avx512vbmi");
    return have;
}
#endif

}  // namespace

void splitPalette(const uint32_t* palette, PalettePlanes& planes) {
    for (int i = 0; i < 256; ++i) {
        planes.blue[i] = static_cast<uint8_t>(palette[i]);
        planes.green[i] = static_cast<uint8_t>(palette[i] >> 8);
        planes.red[i] = static_cast<uint8_t>(palette[i] >> 16);
    }
}

void convertIndexedRow8(const uint8_t* row, size_t first, const uint32_t* palette, const PalettePlanes& planes,
                        uint32_t* out, size_t n) {
#ifdef GLIMSEL_X86_ROWS
    if (n >= 64 && haveVbmi()) {
        convertIndexedRow8Vbmi(row + first, palette, planes, out, n);
        return;
    }
#endif
    (void)planes;
    convertIndexedRow8Plain(row + first, palette, out, n);
}

void convertIndexedRow4(const uint8_t* row, size_t first, const uint32_t* palette, uint32_t* out, size_t n) {
    const uint8_t* p = row + first / 2;
    size_t i = 0;
    if (n && (first & 1)) out[i++] = palette[*p++ & 15];  // the run starts in a byte's low half
    for (; i + 2 <= n; i += 2, ++p) {
        out[i] = palette[*p >> 4];
        out[i + 1] = palette[*p & 15];
    }
    if (i < n) out[i] = palette[*p >> 4];
}

void convertIndexedRow1(const uint8_t* row, size_t first, const uint32_t* palette, uint32_t* out, size_t n) {
    const uint32_t black = palette[0], white = palette[1];
    const uint8_t* p = row + first / 8;
    unsigned bit = 7 - static_cast<unsigned>(first & 7);
    for (size_t i = 0; i < n; ++i) {
        out[i] = (*p >> bit) & 1 ? white : black;
        if (bit-- == 0) {
            bit = 7;
            ++p;
        }
    }
}

}  // namespace img_lib
