// A boxed 64-bit floating-point number.
#pragma once

#include <limits>

#include "foundation/lang/Number.h"
#include "foundation/lang/String.h"

namespace torvik_lang {

class _Double : public _Number {
public:
    explicit _Double(double value) : value(value) {}

    // Constants, so that they hold their values before any code runs. MAX_VALUE is the
    // runtime library's HUGE_VAL, which is infinite.
    static constexpr double MAX_VALUE = std::numeric_limits<double>::infinity();
    static constexpr double POSITIVE_INFINITY = std::numeric_limits<double>::infinity();
    static constexpr double NEGATIVE_INFINITY = -std::numeric_limits<double>::infinity();
    static constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

    // The bit pattern's two halves XORed; equals() stays the identity of _Object.
    int hashCode() override;
    _Ref<_String> toString() override;

    int intValue() override;
    int64_t longValue() override;
    float floatValue() override;
    double doubleValue() override;
    int8_t byteValue() override;
    int16_t shortValue() override;

    virtual bool isNaN();
    virtual bool isInfinite();
    // True for a _Double with the identical bit pattern: a NaN equals the same NaN,
    // 0.0 differs from -0.0.
    virtual bool equalsValue(_Ref<_Object> o);

    // The runtime library's strtod of the text; text that is not a number gives 0.0.
    static _Ref<_Double> valueOf(const _Ref<_String>& s);
    static bool isNaN(double x);
    static bool isInfinite(double x);

    double value;
};

}  // namespace torvik_lang
