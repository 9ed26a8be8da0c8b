// The screen-saver command line: which run mode the first argument selects, and the
// options a screen-saver daemon and its settings program pass (single or double dash).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace glimsel_app {

enum class RunMode { Settings, Preview, Saver, TestSaver, Help, Version, None };

// Slide-show settings for this run only; the stored settings stay as they are. What is
// not given comes from the store.
struct RunOptions {
    std::optional<int> speed;       // 1 (slow) to 100 (fast)
    std::optional<bool> flash;      // the flash effect on or off
    std::optional<int> flashSpeed;  // 1 (slow) to 100 (fast), used while flash is on
    enum class Pictures { Stored, Folder, Bundled };
    Pictures pictures = Pictures::Stored;
    std::string folder;  // with Pictures::Folder
    // The folder choices, switched on for this run: photos upright, subfolders too,
    // no picture twice before all were shown, PNG pictures too.
    bool upright = false;
    bool subfolders = false;
    bool noRepeats = false;
    bool moreTypes = false;

    bool any() const {
        return speed || flash || flashSpeed || pictures != Pictures::Stored || upright || subfolders || noRepeats ||
               moreTypes;
    }
};

struct CommandLine {
    RunMode mode = RunMode::None;
    // Preview: the window to draw in (a host's preview pane or a window given by a
    // screen-saver daemon); `rootWindow` asks for the whole screen's root window.
    uint64_t previewParent = 0;
    bool rootWindow = false;
    // Settings in the form /c:<HWND>: the desktop's dialog that the sheet belongs to
    // (decimal); 0 when none is given.
    uint64_t settingsOwner = 0;
    RunOptions options;
    // Why an option's value was refused (mode None); empty for an unknown option,
    // which ends the program quietly.
    std::string error;
};

// Reads the arguments (argv[0] is the program). `daemonWindow` is the window a
// screen-saver daemon passes in its environment (XSCREENSAVER_WINDOW), or null.
CommandLine parseCommandLine(int argc, char const* const* argv, char const* daemonWindow = nullptr);

// The switch word of an argument: at most one leading '-' or '/' removed.
char const* switchWord(char const* argument);

// What --help prints.
char const* usageText();

}  // namespace glimsel_app
