// Character classification for number parsing.
#pragma once

namespace torvik_lang {

class _Character {
public:
    static constexpr int MIN_RADIX = 2;
    static constexpr int MAX_RADIX = 36;

    // The digit value of `c`: 0 to 9 for '0' to '9', 10 to 35 for the letters a to z
    // in either case; -1 for any other character or a radix outside 2 to 36. The value
    // is not compared with the radix: digit('a', 10) is 10.
    static int digit(char c, int radix);
    static bool isDigit(char c);
};

}  // namespace torvik_lang
