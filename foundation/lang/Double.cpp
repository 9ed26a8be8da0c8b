#include "foundation/lang/Double.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace torvik_lang {

namespace {

uint64_t bitsOf(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

// Truncation toward zero that saturates at the ends of the target range and gives 0
// for NaN, where a plain conversion of an out-of-range double is undefined.
template <class I>
I truncated(double v) {
    if (std::isnan(v)) return 0;
    if (v <= static_cast<double>(std::numeric_limits<I>::min())) return std::numeric_limits<I>::min();
    // max() + 1 is a power of two and exactly representable.
    if (v >= static_cast<double>(std::numeric_limits<I>::max()) + 1.0) return std::numeric_limits<I>::max();
    return static_cast<I>(v);
}

}  // namespace

int _Double::hashCode() {
    uint64_t bits = bitsOf(value);
    return static_cast<int>(static_cast<uint32_t>(bits) ^ static_cast<uint32_t>(bits >> 32));
}

_Ref<_String> _Double::toString() { return _String::valueOf(value); }

int _Double::intValue() { return truncated<int>(value); }
int64_t _Double::longValue() { return truncated<int64_t>(value); }
float _Double::floatValue() { return static_cast<float>(value); }
double _Double::doubleValue() { return value; }
// The narrow widths keep the low bits of the int value, as the integer boxes do.
int8_t _Double::byteValue() { return static_cast<int8_t>(intValue()); }
int16_t _Double::shortValue() { return static_cast<int16_t>(intValue()); }

bool _Double::isNaN() { return isNaN(value); }

bool _Double::isInfinite() { return isInfinite(value); }

bool _Double::equalsValue(_Ref<_Object> o) {
    _Double* other = dynamic_cast<_Double*>(o.get());
    return other && bitsOf(other->value) == bitsOf(value);
}

_Ref<_Double> _Double::valueOf(const _Ref<_String>& s) {
    if (!s) throwRefException(0);
    return new _Double(std::strtod(s->c_str(), nullptr));
}

bool _Double::isNaN(double x) { return std::isnan(x); }

bool _Double::isInfinite(double x) { return std::isinf(x); }

}  // namespace torvik_lang
