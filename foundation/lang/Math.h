// Mathematical constants and functions.
#pragma once

namespace torvik_lang {

class Math {
public:
    static constexpr double E = 2.718281828459045;
    static constexpr double PI = 3.141592653589793;
    // log(10.0), as a constant so that it holds before any code runs.
    static constexpr double LN10 = 2.302585092994046;

    static double sqrt(double x);
    static double sin(double x);
    static double cos(double x);
    static double tan(double x);
    static double atan(double x);
    static double asin(double x);
    static double acos(double x);
    static double log(double x);
    static double exp(double x);
    static double ceil(double x);
    static double floor(double x);
    static double pow(double x, double y);
    static double atan2(double y, double x);
    // The integer nearest to `x`; halfway cases go to the even neighbour.
    static double rint(double x);
    // A number in [0, 1) from one generator shared by the whole process.
    static double random();
};

}  // namespace torvik_lang
