#include "foundation/lang/Math.h"

#include <cmath>

#include "foundation/containers/Random.h"

namespace torvik_lang {

double Math::sqrt(double x) { return std::sqrt(x); }
double Math::sin(double x) { return std::sin(x); }
double Math::cos(double x) { return std::cos(x); }
double Math::tan(double x) { return std::tan(x); }
double Math::atan(double x) { return std::atan(x); }
double Math::asin(double x) { return std::asin(x); }
double Math::acos(double x) { return std::acos(x); }
double Math::log(double x) { return std::log(x); }
double Math::exp(double x) { return std::exp(x); }
double Math::ceil(double x) { return std::ceil(x); }
double Math::floor(double x) { return std::floor(x); }
double Math::pow(double x, double y) { return std::pow(x, y); }
double Math::atan2(double y, double x) { return std::atan2(y, x); }

double Math::rint(double x) {
    // Independent of the floating-point rounding mode. From 2^52 on every double is a
    // whole number, and NaN and the infinities stay as they are.
    if (!(std::fabs(x) < 4503599627370496.0)) return x;
    double below = std::floor(x);
    double fraction = x - below;
    double r = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)) r = below + 1.0;
    // -0.4 rounds to -0.0, not +0.0.
    return std::copysign(r, x);
}

double Math::random() {
    // Made on first use, seeded with the current time.
    static _Ref<torvik_util::_Random> generator = new torvik_util::_Random();
    return generator->nextDouble();
}

}  // namespace torvik_lang
