#include "foundation/containers/Random.h"

#include <cmath>

#include "foundation/lang/System.h"

namespace torvik_util {

namespace {

constexpr uint64_t MULTIPLIER = 0x5DEECE66Dull;
constexpr uint64_t INCREMENT = 0xBull;
constexpr uint64_t MASK = (1ull << 48) - 1;

}  // namespace

_Random::_Random() { setSeed(torvik_lang::System::currentTimeMillis()); }

void _Random::setSeed(int64_t s) {
    seed = static_cast<int64_t>((static_cast<uint64_t>(s) ^ MULTIPLIER) & MASK);
    haveNextNextGaussian = false;
}

int _Random::next(int bits) {
    // Unsigned arithmetic: the product leaves 64 bits, and only the low 48 count.
    uint64_t state = (static_cast<uint64_t>(seed) * MULTIPLIER + INCREMENT) & MASK;
    seed = static_cast<int64_t>(state);
    if (bits <= 0) return 0;
    if (bits > 32) bits = 32;
    return static_cast<int32_t>(static_cast<uint32_t>(state >> (48 - bits)));
}

void _Random::nextBytes(_Ref<_Array<char, _Object>> bytes) {
    if (!bytes) torvik_lang::throwRefException(0);
    int n = bytes->length;
    for (int i = 0; i < n;) {
        uint32_t r = static_cast<uint32_t>(nextInt());
        for (int k = 0; k < 4 && i < n; ++k, r >>= 8) bytes->data[i++] = static_cast<char>(r & 0xFF);
    }
}

int _Random::nextInt() { return next(32); }

int64_t _Random::nextLong() {
    // Two separate calls: the high half is drawn first.
    int64_t high = next(32);
    int64_t low = next(32);
    return static_cast<int64_t>((static_cast<uint64_t>(high) << 32) + static_cast<uint64_t>(low));
}

float _Random::nextFloat() { return static_cast<float>(next(24)) / static_cast<float>(1 << 24); }

double _Random::nextDouble() {
    int64_t high = next(26);
    int64_t low = next(27);
    return static_cast<double>((high << 27) + low) * (1.0 / static_cast<double>(1ll << 53));
}

double _Random::nextGaussian() {
    if (haveNextNextGaussian) {
        haveNextNextGaussian = false;
        return nextNextGaussian;
    }
    double x1, x2, s;
    do {
        x1 = 2 * nextDouble() - 1;
        x2 = 2 * nextDouble() - 1;
        s = x1 * x1 + x2 * x2;
        // s == 0 would make the factor below infinite and the result NaN.
    } while (s >= 1 || s == 0);
    double m = std::sqrt(-2 * std::log(s) / s);
    nextNextGaussian = x2 * m;
    haveNextNextGaussian = true;
    return x1 * m;
}

}  // namespace torvik_util
