// The settings sheet on Windows: a comctl32 property sheet titled "Glimsel" with the
// options and about pages, OK and Cancel, widened by a strip that holds the live
// preview, the engine's own drawing window as a child of the sheet.
#pragma once

#include <windows.h>

class CSaverApp;

namespace glimsel_win32 {

// Runs the sheet modally, owned by `owner` (null for none). Returns the index of the
// page that was active when it closed with OK, or -1 for Cancel and the close box.
int runSettingsSheet(CSaverApp& app, HWND owner);

}  // namespace glimsel_win32
