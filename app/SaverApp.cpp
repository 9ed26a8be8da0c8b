#include "app/SaverApp.h"

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/SettingsStore.h"
#include "platform/os.h"
#include "show/SaverWnd.h"
#include "sources/FolderImageDatabase.h"
#include "sources/FreewareIdb.h"

using glimsel_app::CommandLine;
using glimsel_app::RunMode;
using glimsel_ui::Rect;
using glimsel_ui::WindowSystem;
using torvik_lang::_Ref;

char const* const FREEWARE_MARKER = "**Freeware**";

CSaverApp::CSaverApp(glimsel_app::Desktop& desktop) : desktop(desktop) {}

CSaverApp::~CSaverApp() = default;

void CSaverApp::chooseImageSource() {
    std::string path = glimsel_settings::getProfileString("Config", "Path", FREEWARE_MARKER);
    usingImageDatabase = false;
    if (path == FREEWARE_MARKER) {
        _Ref<torvik_io::_File> file = desktop.findDatabase();
        _Ref<_FreewareIdb> database = new _FreewareIdb();
        if (file && database->openDatabase(file)) {
            imageSource = database;
            usingImageDatabase = true;
        }
    }
    if (!usingImageDatabase) {
        _Ref<_CImageDatabase> folder = new _CImageDatabase();
        folder->loadFolder();
        imageSource = folder;
    }
}

int CSaverApp::computePreviewScale(int width, int height) {
    glimsel_ui::Size screen = WindowSystem::current().screenSize();
    if (screen.width <= 0 || screen.height <= 0) return 10;
    long long byWidth = static_cast<long long>(width) * 100 / screen.width;
    long long byHeight = static_cast<long long>(height) * 100 / screen.height;
    long long scale = byWidth < byHeight ? byWidth : byHeight;
    return scale < 10 ? 10 : static_cast<int>(scale > 100000 ? 100000 : scale);
}

int CSaverApp::run(int argc, char const* const* argv, char const* daemonWindow) {
    // The source exists before any window asks for a picture, and the generator is
    // seeded before the first picture is chosen.
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    chooseImageSource();
    glimsel_os::lowerPriority();

    CommandLine line = glimsel_app::parseCommandLine(argc, argv, daemonWindow);
    settingsOwner = line.settingsOwner;
    int exitCode = 0;
    switch (line.mode) {
        case RunMode::Settings: exitCode = runSettings(); break;
        case RunMode::Preview: exitCode = runPreview(line); break;
        case RunMode::TestSaver:
            testMode = true;
            exitCode = runSaver();
            break;
        case RunMode::Saver: exitCode = runSaver(); break;
        case RunMode::Help:
        case RunMode::Version:
        case RunMode::None: break;
    }
    imageSource = nullptr;
    return exitCode;
}

int CSaverApp::runSettings() {
    int page = desktop.runSettingsSheet(*this);
    if (page >= 0) glimsel_settings::writeProfileInt("", "ActivePage", page);
    return 0;
}

int CSaverApp::runPreview(const CommandLine& line) {
    WindowSystem& ws = WindowSystem::current();
    uint64_t parent = line.previewParent;
    if (line.rootWindow) parent = desktop.rootWindow();
    Rect client;
    // A handle that names no window: nothing to draw in, end quietly.
    if (!parent || !ws.foreignClientRect(parent, client)) return 0;
    CDrawWnd* preview = new CDrawWnd(*this, true);
    preview->scalePercent = computePreviewScale(client.width(), client.height());
    if (!preview->createWindow(glimsel_ui::EXSTYLE_NONE, glimsel_ui::STYLE_CHILD | glimsel_ui::STYLE_VISIBLE,
                               Rect{0, 0, client.width(), client.height()}, parent)) {
        delete preview;
        return 0;
    }
    ws.setMainWindow(preview);
    int code = ws.runMessageLoop();
    return code < 0 ? 0 : code;
}

int CSaverApp::runSaver() {
    WindowSystem& ws = WindowSystem::current();
    CSaverWnd* saver = new CSaverWnd(*this, testMode);
    if (!saver->createSaverWindow()) {
        // Without a window there is no run.
        delete saver;
        return 0;
    }
    ws.setMainWindow(saver);
    int code = ws.runMessageLoop();
    return code < 0 ? 0 : code;
}
