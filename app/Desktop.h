// What the application needs of the desktop it runs on, besides its windows: the
// settings sheet's views, the bundled database's place, the screen's root window, the
// user's mail program and browser, and the program's version. Every platform (Linux,
// Windows, the headless one of the tests) fills every slot.
#pragma once

#include <string>

#include "foundation/io/File.h"
#include "platform/WindowSystem.h"

class CSaverApp;

namespace glimsel_app {

class Desktop {
public:
    virtual ~Desktop() = default;

    // Runs the settings sheet modally. Returns the index of the page that was active
    // when it closed with OK, or -1 for Cancel and the close box.
    virtual int runSettingsSheet(CSaverApp& app) = 0;
    // The bundled image database beside the program, or null when there is none.
    virtual torvik_lang::_Ref<torvik_io::_File> findDatabase() = 0;
    // The screen's root window (the target of "-root"); 0 when there is none.
    virtual glimsel_ui::NativeWindow rootWindow() = 0;
    // Opens an address ("mailto:..." or a web page) in the user's programs; false when
    // that fails.
    virtual bool openAddress(const std::string& address) = 0;
    // The program's own version as major.minor.release; empty when it has none.
    virtual std::string fileVersion() = 0;
};

}  // namespace glimsel_app
