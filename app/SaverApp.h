// The application: chooses the image source, reads the command line, opens the
// window of the run mode, and owns the current image source for the whole run.
#pragma once

#include "app/CommandLine.h"
#include "app/Desktop.h"
#include "show/ImageSourceProvider.h"

// The marker value of the "Path" setting that asks for the bundled image database.
extern char const* const FREEWARE_MARKER;

class CSaverApp : public IImageSourceProvider {
public:
    explicit CSaverApp(glimsel_app::Desktop& desktop);
    ~CSaverApp() override;

    // The platform's services.
    glimsel_app::Desktop& desktop;

    // The current image source; never null after start-up.
    torvik_lang::_Ref<_IImageDatabase> imageSource;
    // True while the current source is the bundled image database.
    bool usingImageDatabase = false;
    // Set by the "t" switch: the saver runs in an ordinary window that only a left
    // click ends.
    bool testMode = false;
    // The window the settings sheet belongs to (from /c:<HWND>); 0 for none.
    uint64_t settingsOwner = 0;

    torvik_lang::_Ref<_IImageDatabase> currentImageSource() override { return imageSource; }

    // Re-reads "Path" and replaces the current source.
    void chooseImageSource();
    // The percentage at which a window of this size shows pictures as they would look
    // on the primary screen, at least 10.
    int computePreviewScale(int width, int height);

    // Start-up, the run mode of the command line, and shut-down; the exit code.
    int run(int argc, char const* const* argv, char const* daemonWindow = nullptr);

private:
    int runPreview(const glimsel_app::CommandLine& line);
    int runSaver();
    int runSettings();
};
