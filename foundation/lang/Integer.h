// A boxed 32-bit integer, and the conversions between integers and text.
#pragma once

#include "foundation/lang/Number.h"
#include "foundation/lang/String.h"

namespace torvik_lang {

class _Integer : public _Number {
public:
    explicit _Integer(int value) : value(value) {}

    static constexpr int MIN_VALUE = -2147483647 - 1;
    static constexpr int MAX_VALUE = 2147483647;

    int hashCode() override;
    bool equals(const _Ref<_Object>& o) override;
    using _Object::equals;
    _Ref<_String> toString() override;

    int intValue() override;
    int64_t longValue() override;
    float floatValue() override;
    double doubleValue() override;
    int8_t byteValue() override;
    int16_t shortValue() override;

    // The value of `s` in `radix`: an optional '-' and at least one digit below the
    // radix, nothing else.
    // Any other text, a value outside the int range or a radix outside 2 to 36 throws a
    // Throwable whose message is the text ("null" for a null reference).
    static int parseInt(const _Ref<_String>& s, int radix);
    // The digits of `v` in `radix` (10 when the radix is outside 2 to 36), lower-case
    // letters above 9, with a leading '-' for a negative value.
    static _Ref<_String> toString(int v, int radix);

    int value;
};

}  // namespace torvik_lang
