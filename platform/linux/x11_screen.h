// The primary monitor: the one that the screen saver covers.
#pragma once

#include <X11/Xlib.h>

#include "platform/WindowSystem.h"

namespace glimsel_x11 {

// The monitor flagged primary, else the first one, else the whole screen (a server
// without the monitor list of RandR 1.5, or one like Xvfb that flags none), in root
// window coordinates.
glimsel_ui::Rect primaryMonitor(Display* display, int screen);

}  // namespace glimsel_x11
