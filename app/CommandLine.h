// The screen-saver command line: which run mode the first argument selects.
#pragma once

#include <cstdint>

namespace glimsel_app {

enum class RunMode { Settings, Preview, Saver, TestSaver, None };

struct CommandLine {
    RunMode mode = RunMode::None;
    // Preview: the window to draw in (a host's preview pane or a window given by a
    // screen-saver daemon); `rootWindow` asks for the whole screen's root window.
    uint64_t previewParent = 0;
    bool rootWindow = false;
    // Settings in the form /c:<HWND>: the desktop's dialog that the sheet belongs to
    // (decimal); 0 when none is given.
    uint64_t settingsOwner = 0;
};

// Reads the arguments (argv[0] is the program). `daemonWindow` is the window a
// screen-saver daemon passes in its environment (XSCREENSAVER_WINDOW), or null.
CommandLine parseCommandLine(int argc, char const* const* argv, char const* daemonWindow = nullptr);

// The switch word of an argument: at most one leading '-' or '/' removed.
char const* switchWord(char const* argument);

}  // namespace glimsel_app
