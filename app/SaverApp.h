// The application: chooses the image source, reads the command line, opens the
// window of the run mode, and owns the current image source for the whole run.
#pragma once

#include <functional>

#include "app/CommandLine.h"
#include "foundation/io/File.h"
#include "show/ImageSourceProvider.h"

// The marker value of the "Path" setting that asks for the bundled image database.
extern char const* const FREEWARE_MARKER;

class CSaverApp : public IImageSourceProvider {
public:
    CSaverApp();
    ~CSaverApp() override;

    // The current image source; never null after start-up.
    torvik_lang::_Ref<_IImageDatabase> imageSource;
    // True while the current source is the bundled image database.
    bool usingImageDatabase = false;

    torvik_lang::_Ref<_IImageDatabase> currentImageSource() override { return imageSource; }

    // Re-reads "Path" and replaces the current source.
    void chooseImageSource();
    // The percentage at which a window of this size shows pictures as they would look
    // on the primary screen, at least 10.
    int computePreviewScale(int width, int height);

    // Start-up, the run mode of the command line, and shut-down; the exit code.
    int run(int argc, char const* const* argv, char const* daemonWindow = nullptr);

    // The settings sheet of the platform: runs it modally and returns the index of
    // the page that was active when it closed with OK, or -1 for Cancel. Without one,
    // the settings mode ends quietly.
    std::function<int(CSaverApp&)> settingsSheet;
    // Where the bundled image database is: beside the program, or null without one.
    std::function<torvik_lang::_Ref<torvik_io::_File>()> findDatabase;
    // The platform's root window, for "-root".
    std::function<uint64_t()> rootWindow;

private:
    int runPreview(const glimsel_app::CommandLine& line);
    int runSaver();
    int runSettings();
};
