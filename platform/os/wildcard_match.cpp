// The name matcher of the folder searches, the same on every platform.
#include <cctype>

#include "platform/os.h"

namespace glimsel_os {

bool wildcardMatch(const char* pattern, const char* name) {
    // Iterative matcher with one backtrack point for the last '*': linear in practice.
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*pattern == '*') {
            starPattern = ++pattern;
            starName = name;
        } else if (*pattern == '?' ||
                   (*pattern && std::tolower(static_cast<unsigned char>(*pattern)) ==
                                    std::tolower(static_cast<unsigned char>(*name)))) {
            ++pattern;
            ++name;
        } else if (starPattern) {
            pattern = starPattern;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == 0;
}

}  // namespace glimsel_os
