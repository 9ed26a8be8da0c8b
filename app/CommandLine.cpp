#include "app/CommandLine.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace glimsel_app {

namespace {

bool sameWord(char const* word, char const* expected) {
    for (; *word && *expected; ++word, ++expected) {
        if (std::tolower(static_cast<unsigned char>(*word)) != *expected) return false;
    }
    return *word == 0 && *expected == 0;
}

// A window id as the daemon writes it: decimal or 0x hex; 0 when it is no number.
uint64_t parseWindowId(char const* text) {
    if (!text) return 0;
    errno = 0;
    char* end = nullptr;
    unsigned long long v = std::strtoull(text, &end, 0);
    if (errno || end == text) return 0;
    return v;
}

// The preview handle, read as the runtime's atol reads it: leading blanks and a sign
// allowed, conversion stops at the first non-digit, no number gives 0.
uint64_t parseHandle(char const* text) {
    long long v = std::atoll(text);
    return v > 0 ? static_cast<uint64_t>(v) : 0;
}

}  // namespace

char const* switchWord(char const* argument) {
    if (argument[0] == '-' || argument[0] == '/') return argument + 1;
    return argument;
}

CommandLine parseCommandLine(int argc, char const* const* argv, char const* daemonWindow) {
    CommandLine result;
    if (argc < 2) {
        // A screen-saver daemon starts its savers with the window in the environment.
        uint64_t window = parseWindowId(daemonWindow);
        if (window) {
            result.mode = RunMode::Preview;
            result.previewParent = window;
        } else {
            result.mode = RunMode::Settings;
        }
        return result;
    }
    char const* first = argv[1];
    // The form /c:1234 of the desktop's settings dialog; only a lower-case c.
    if (std::strlen(first) >= 3 && first[1] == 'c' && first[2] == ':') {
        result.mode = RunMode::Settings;
        result.settingsOwner = parseHandle(first + 3);
        return result;
    }
    char const* word = switchWord(first);
    if (sameWord(word, "c")) {
        result.mode = RunMode::Settings;
    } else if (sameWord(word, "s")) {
        result.mode = RunMode::Saver;
    } else if (sameWord(word, "t")) {
        result.mode = RunMode::TestSaver;
    } else if (sameWord(word, "p")) {
        // Without a handle naming a window there is nothing to draw in.
        if (argc >= 3) {
            result.previewParent = parseHandle(argv[2]);
            if (result.previewParent) result.mode = RunMode::Preview;
        }
    } else if (std::strcmp(first, "-window-id") == 0) {
        if (argc >= 3) {
            result.previewParent = parseWindowId(argv[2]);
            if (result.previewParent) result.mode = RunMode::Preview;
        }
    } else if (std::strcmp(first, "-root") == 0) {
        uint64_t window = parseWindowId(daemonWindow);
        result.mode = RunMode::Preview;
        if (window) {
            result.previewParent = window;
        } else {
            result.rootWindow = true;
        }
    }
    return result;
}

}  // namespace glimsel_app
