// The settings sheet on Linux: a GTK window titled "Glimsel" with the options and
// about pages in a notebook, OK and Cancel, and the live preview in a strip to the
// right of the pages. The preview is the engine's own drawing window, an X child of
// the sheet, run by the X window system on the same GLib main loop as GTK.
#pragma once

class CSaverApp;

namespace glimsel_gtk {

// Opens GTK on the X11 backend; false when there is no display. Safe to call again.
bool initGtk();

// Runs the sheet modally. Returns the index of the page that was active when it
// closed with OK, or -1 for Cancel and the close box. Needs initGtk and an installed
// X window system.
int runSettingsSheet(CSaverApp& app);

}  // namespace glimsel_gtk
