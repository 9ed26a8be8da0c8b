#include "foundation/lang/Character.h"

#include <cctype>

namespace torvik_lang {

int _Character::digit(char c, int radix) {
    if (radix < MIN_RADIX || radix > MAX_RADIX) return -1;
    if (c >= '0' && c <= '9') return c - '0';
    // tolower takes the character as an unsigned value; bytes above 127 are not letters
    // a to z in any locale.
    int lower = std::tolower(static_cast<unsigned char>(c));
    if (lower >= 'a' && lower <= 'z') return lower - 'a' + 10;
    return -1;
}

bool _Character::isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

}  // namespace torvik_lang
