#include "app/CommandLine.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace glimsel_app {

namespace {

constexpr int SPEED_MIN = 1;
constexpr int SPEED_MAX = 100;

bool sameWord(char const* word, char const* expected) {
    for (; *word && *expected; ++word, ++expected) {
        if (std::tolower(static_cast<unsigned char>(*word)) != *expected) return false;
    }
    return *word == 0 && *expected == 0;
}

bool isHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// A window id as a daemon or its settings program writes it: decimal or 0x hex, and
// nothing else (no octal: a leading zero is decimal); 0 when it is no such number.
uint64_t parseWindowId(char const* text) {
    if (!text) return 0;
    bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    char const* digits = hex ? text + 2 : text;
    if (!(hex ? isHexDigit(digits[0]) : std::isdigit(static_cast<unsigned char>(digits[0])))) return 0;
    errno = 0;
    char* end = nullptr;
    unsigned long long v = std::strtoull(digits, &end, hex ? 16 : 10);
    if (errno || *end != 0 || v > UINT32_MAX) return 0;
    return v;
}

// The preview handle, read as the runtime's atol reads it (leading blanks and a sign
// allowed, conversion stops at the first non-digit, no number gives 0), or as hex
// after "0x", the way X tools print window ids.
uint64_t parseHandle(char const* text) {
    while (std::isspace(static_cast<unsigned char>(*text))) ++text;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X') && isHexDigit(text[2])) {
        unsigned long long v = std::strtoull(text + 2, nullptr, 16);
        return v > UINT32_MAX ? 0 : v;
    }
    long long v = std::strtoll(text, nullptr, 10);
    return v > 0 ? static_cast<uint64_t>(v) : 0;
}

// A whole number from `low` to `high` and nothing else.
bool parseBounded(char const* text, int low, int high, int& out) {
    if (!std::isdigit(static_cast<unsigned char>(text[0])) || std::strlen(text) > 9) return false;
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (*end != 0 || v < low || v > high) return false;
    out = static_cast<int>(v);
    return true;
}

// An argument's text for a message: bounded, and only printable bytes.
std::string quoted(char const* text) {
    std::string q = "\"";
    for (size_t i = 0; text[i] && i < 40; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        q += std::isprint(c) ? static_cast<char>(c) : '?';
    }
    if (std::strlen(text) > 40) q += "...";
    return q + "\"";
}

enum class Option {
    Root, WindowId, Speed, Flash, NoFlash, FlashSpeed, Folder, Bundled, Help, Version,
    Upright, Subfolders, NoRepeats, MoreTypes
};

struct OptionName {
    char const* name;
    Option option;
    bool takesValue;
};

// The names of the other X screen-saver programs' options; each may be written with
// one dash or two.
constexpr OptionName OPTIONS[] = {
    {"root", Option::Root, false},         {"window-id", Option::WindowId, true},
    {"speed", Option::Speed, true},        {"flash", Option::Flash, false},
    {"no-flash", Option::NoFlash, false},  {"flash-speed", Option::FlashSpeed, true},
    {"folder", Option::Folder, true},      {"bundled", Option::Bundled, false},
    {"help", Option::Help, false},         {"version", Option::Version, false},
    {"upright", Option::Upright, false},   {"subfolders", Option::Subfolders, false},
    {"no-repeats", Option::NoRepeats, false}, {"more-types", Option::MoreTypes, false},
};

const OptionName* findOption(char const* argument) {
    if (argument[0] != '-') return nullptr;
    char const* name = argument + (argument[1] == '-' ? 2 : 1);
    for (const OptionName& o : OPTIONS) {
        if (std::strcmp(name, o.name) == 0) return &o;
    }
    return nullptr;
}

// What the options of one command line asked for besides the run settings.
struct Requests {
    bool root = false;
    bool windowIdGiven = false;
    uint64_t windowId = 0;
    bool help = false;
    bool version = false;
};

// Reads the options from argv[first] on. With `strict`, an argument that is no option
// of ours makes the line unusable; otherwise it is passed over, as the classic
// switches pass over their further arguments. False when the line is unusable.
bool readOptions(int argc, char const* const* argv, int first, bool strict, Requests& req, CommandLine& line) {
    RunOptions& run = line.options;
    for (int i = first; i < argc; ++i) {
        const OptionName* o = findOption(argv[i]);
        if (!o) {
            if (strict) return false;
            continue;
        }
        char const* value = nullptr;
        if (o->takesValue) {
            if (i + 1 >= argc) {
                line.error = std::string(argv[i]) + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        int number = 0;
        switch (o->option) {
            case Option::Root: req.root = true; break;
            case Option::WindowId:
                req.windowIdGiven = true;
                req.windowId = parseWindowId(value);
                break;
            case Option::Speed:
            case Option::FlashSpeed:
                if (!parseBounded(value, SPEED_MIN, SPEED_MAX, number)) {
                    line.error = std::string(argv[i - 1]) + " wants a number from 1 to 100, not " + quoted(value);
                    return false;
                }
                (o->option == Option::Speed ? run.speed : run.flashSpeed) = number;
                break;
            case Option::Flash: run.flash = true; break;
            case Option::NoFlash: run.flash = false; break;
            case Option::Folder:
                if (!*value) {
                    line.error = std::string(argv[i - 1]) + " needs a folder";
                    return false;
                }
                run.pictures = RunOptions::Pictures::Folder;
                run.folder = value;
                break;
            case Option::Bundled: run.pictures = RunOptions::Pictures::Bundled; break;
            case Option::Help: req.help = true; break;
            case Option::Version: req.version = true; break;
            case Option::Upright: run.upright = true; break;
            case Option::Subfolders: run.subfolders = true; break;
            case Option::NoRepeats: run.noRepeats = true; break;
            case Option::MoreTypes: run.moreTypes = true; break;
        }
    }
    return true;
}

// The classic switches of the first argument; false when it is none of them.
bool classicSwitch(int argc, char const* const* argv, CommandLine& line, int& next) {
    char const* first = argv[1];
    next = 2;
    // The form /c:1234 of the desktop's settings dialog; only a lower-case c.
    if (std::strlen(first) >= 3 && first[1] == 'c' && first[2] == ':') {
        line.mode = RunMode::Settings;
        line.settingsOwner = parseHandle(first + 3);
        return true;
    }
    char const* word = switchWord(first);
    if (sameWord(word, "c")) {
        line.mode = RunMode::Settings;
    } else if (sameWord(word, "s")) {
        line.mode = RunMode::Saver;
    } else if (sameWord(word, "t")) {
        line.mode = RunMode::TestSaver;
    } else if (sameWord(word, "p")) {
        // Without a handle naming a window there is nothing to draw in.
        if (argc >= 3) {
            line.previewParent = parseHandle(argv[2]);
            if (line.previewParent) line.mode = RunMode::Preview;
            next = 3;
        }
    } else {
        next = 1;
        return false;
    }
    return true;
}

}  // namespace

char const* switchWord(char const* argument) {
    if (argument[0] == '-' || argument[0] == '/') return argument + 1;
    return argument;
}

CommandLine parseCommandLine(int argc, char const* const* argv, char const* daemonWindow) {
    CommandLine result;
    uint64_t daemon = parseWindowId(daemonWindow);
    if (argc < 2) {
        // A screen-saver daemon starts its savers with the window in the environment.
        if (daemon) {
            result.mode = RunMode::Preview;
            result.previewParent = daemon;
        } else {
            result.mode = RunMode::Settings;
        }
        return result;
    }
    Requests req;
    int next = 1;
    bool classic = classicSwitch(argc, argv, result, next);
    if (!classic && !findOption(argv[1])) return result;  // unknown: end quietly
    if (classic && result.mode == RunMode::None) return result;
    if (!readOptions(argc, argv, next, !classic, req, result)) {
        result.mode = RunMode::None;
        return result;
    }
    if (req.help || req.version) {
        result.mode = req.help ? RunMode::Help : RunMode::Version;
        return result;
    }
    if (req.windowIdGiven) {
        // A settings program previews a saver by adding the window of its pane to the
        // saver's own command line, whatever that holds.
        result.previewParent = req.windowId;
        result.rootWindow = false;
        if (req.windowId) {
            result.mode = RunMode::Preview;
        } else if (!classic || result.mode == RunMode::Preview) {
            result.mode = RunMode::None;  // no window left to draw in
        }
        return result;
    }
    if (classic) {
        // Under a screen-saver daemon the saver draws in the daemon's window: a window
        // of its own would cover the daemon's, and with it the daemon's unlock dialog.
        if (result.mode == RunMode::Saver && daemon) {
            result.mode = RunMode::Preview;
            result.previewParent = daemon;
        }
        return result;
    }
    // The daemon's window when it gave one, else the whole screen for "-root"; without
    // either, a window of its own, as a saver started by hand opens one.
    if (daemon) {
        result.mode = RunMode::Preview;
        result.previewParent = daemon;
    } else if (req.root) {
        result.mode = RunMode::Preview;
        result.rootWindow = true;
    } else {
        result.mode = RunMode::TestSaver;
    }
    return result;
}

char const* usageText() {
    return "Usage: glimsel [MODE] [OPTIONS]\n"
           "A picture collage screen saver.\n"
           "\n"
           "Modes:\n"
           "  (none), /c          the settings\n"
           "  /s                  the saver over the primary monitor (in $XSCREENSAVER_WINDOW\n"
           "                      when a screen-saver daemon gives one)\n"
           "  /t                  the saver in an ordinary 800 by 600 window\n"
           "  /p ID               a preview inside window ID (decimal or 0x hex)\n"
           "  --root              in $XSCREENSAVER_WINDOW, else over the whole screen\n"
           "  --window-id ID      a preview inside window ID\n"
           "\n"
           "Options for this run only (the stored settings stay as they are):\n"
           "  --speed N           pictures per time, 1 (slow) to 100 (fast)\n"
           "  --flash, --no-flash let each picture grow out of its centre, or not\n"
           "  --flash-speed N     how fast it grows, 1 (slow) to 100 (fast)\n"
           "  --folder DIR        the pictures of folder DIR (a file names its folder)\n"
           "  --bundled           the bundled pictures\n"
           "  --upright           photos turned as the camera was held\n"
           "  --subfolders        the pictures of the folder's subfolders too\n"
           "  --no-repeats        every picture once before any twice\n"
           "  --more-types        PNG pictures too\n"
           "  --help, --version   print this text or the version, and end\n"
           "\n"
           "Options may be written with one dash or two.\n";
}

}  // namespace glimsel_app
