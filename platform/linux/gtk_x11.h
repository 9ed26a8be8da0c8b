// What the settings sheet needs of GDK's X11 backend, kept apart so that X's macros
// (None, Status, ...) never meet the program's own headers.
#pragma once

#include <gtk/gtk.h>

#include <cstdint>

namespace glimsel_gtk {

// Lets a top-level window draw with the screen's default visual, the one the engine's
// drawing windows use; GDK would otherwise pick the visual it prefers for OpenGL.
// Screenshots of the root window then show every window as it is stacked.
void useDefaultVisual(GtkWidget* toplevel);

// Gives `window` an X window of its own and returns its id, known to the server
// (other connections may use it at once); 0 when GDK is not on X11.
uint64_t nativeWindow(GdkWindow* window);

}  // namespace glimsel_gtk
