// libFuzzer target: any bytes as a command line. The input is split at zero bytes into
// at most eight arguments, the last piece standing for the window a screen-saver daemon
// names in its environment. Parsing always gives one of the run modes, a preview has a
// window to draw in, and the run's own settings lie in their ranges.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/CommandLine.h"

using glimsel_app::RunMode;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> pieces(1);
    for (size_t i = 0; i < size && pieces.size() <= 9; ++i) {
        if (data[i] == 0) {
            pieces.emplace_back();
        } else {
            pieces.back() += static_cast<char>(data[i]);
        }
    }
    const bool withDaemonWindow = pieces.size() > 1;
    const std::string daemonWindow = withDaemonWindow ? pieces.back() : std::string();
    if (withDaemonWindow) pieces.pop_back();

    std::vector<const char*> argv{"glimsel"};
    for (const std::string& p : pieces) argv.push_back(p.c_str());
    const glimsel_app::CommandLine line = glimsel_app::parseCommandLine(
        static_cast<int>(argv.size()), argv.data(), withDaemonWindow ? daemonWindow.c_str() : nullptr);
    switch (line.mode) {
        case RunMode::Settings: case RunMode::Saver: case RunMode::TestSaver: case RunMode::Help:
        case RunMode::Version: case RunMode::None:
            break;
        case RunMode::Preview:
            if (line.previewParent == 0 && !line.rootWindow) std::abort();
            break;
        default: std::abort();
    }
    const glimsel_app::RunOptions& run = line.options;
    if ((run.speed && (*run.speed < 1 || *run.speed > 100)) ||
        (run.flashSpeed && (*run.flashSpeed < 1 || *run.flashSpeed > 100))) {
        std::abort();
    }
    for (const char* arg : argv) {
        const char* word = glimsel_app::switchWord(arg);
        if (!word || word < arg || word > arg + std::char_traits<char>::length(arg)) std::abort();
    }
    return 0;
}
