#include "foundation/lang/Integer.h"

#include "foundation/lang/Character.h"
#include "foundation/lang/Throwable.h"

namespace torvik_lang {

int _Integer::hashCode() { return value; }

bool _Integer::equals(const _Ref<_Object>& o) {
    _Integer* other = dynamic_cast<_Integer*>(o.get());
    return other && other->value == value;
}

_Ref<_String> _Integer::toString() { return toString(value, 10); }

int _Integer::intValue() { return value; }
int64_t _Integer::longValue() { return value; }
float _Integer::floatValue() { return static_cast<float>(value); }
double _Integer::doubleValue() { return value; }
int8_t _Integer::byteValue() { return static_cast<int8_t>(value); }
int16_t _Integer::shortValue() { return static_cast<int16_t>(value); }

int _Integer::parseInt(const _Ref<_String>& s, int radix) {
    if (!s) throw Throwable("null");
    // The radix is checked before it divides: 0 or -1 would otherwise fault below.
    if (s->size() == 0 || radix < _Character::MIN_RADIX || radix > _Character::MAX_RADIX) {
        throw Throwable(s);
    }
    char const* text = s->c_str();
    int n = s->size();
    bool negative = text[0] == '-';
    int i = negative ? 1 : 0;
    // The value is built as a negative number, whose range is one larger, so that
    // MIN_VALUE parses.
    int limit = negative ? MIN_VALUE : -MAX_VALUE;
    int multmin = limit / radix;
    if (i >= n) throw Throwable(s);

    // digit() does not compare its value with the radix; a digit beyond the radix ("1a"
    // in radix 10) is no number.
    int d = _Character::digit(text[i++], radix);
    if (d < 0 || d >= radix) throw Throwable(s);
    int result = -d;
    while (i < n) {
        d = _Character::digit(text[i++], radix);
        // multmin * radix >= limit, so the product below cannot overflow once
        // result >= multmin.
        if (d < 0 || d >= radix || result < multmin || result * radix < limit + d) throw Throwable(s);
        result = result * radix - d;
    }
    return negative ? result : -result;
}

_Ref<_String> _Integer::toString(int v, int radix) {
    if (radix < _Character::MIN_RADIX || radix > _Character::MAX_RADIX) radix = 10;
    // 32 binary digits and a sign at most.
    char digits[34];
    int n = 0;
    bool negative = v < 0;
    // Working on the non-positive value keeps MIN_VALUE in range.
    int rest = negative ? v : -v;
    do {
        int d = -(rest % radix);
        digits[n++] = static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10);
        rest /= radix;
    } while (rest != 0);
    if (negative) digits[n++] = '-';

    char text[sizeof digits + 1];
    for (int i = 0; i < n; ++i) text[i] = digits[n - 1 - i];
    text[n] = 0;
    return _S(text);
}

}  // namespace torvik_lang
