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

}  // namespace img_lib
