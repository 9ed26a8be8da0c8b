// The connection to the X server and what every window shares: the true-colour visual
// that pictures are drawn in, the invisible pointer, the text font and the graphics
// contexts.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <memory>

namespace glimsel_x11 {

class X11Display {
public:
    // Connects to `name` (null: $DISPLAY); null when there is no server or it offers
    // no true-colour visual.
    static std::unique_ptr<X11Display> open(char const* name);
    ~X11Display();
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    Display* display = nullptr;
    int screen = 0;
    ::Window root = 0;

    // The visual of every window we create: 24-bit true colour where the server has it.
    Visual* visual = nullptr;
    int depth = 0;
    Colormap colormap = 0;
    // Pixel values of the visual.
    unsigned long blackPixel = 0;
    unsigned long whitePixel = 0;
    // True when the visual's pixels are 0x00RRGGBB, the layout the renderer draws.
    bool plainRgb = false;

    // 32 by 32, every pixel transparent: the pointer over the drawing windows.
    Cursor invisibleCursor = 0;
    // The server's default font, for the "Can't display" texts.
    XFontStruct* font = nullptr;
    // Black text on opaque white; and a plain copy for the pictures.
    GC textGC = nullptr;
    GC copyGC = nullptr;

    bool shmAvailable = false;
    int shmCompletion = -1;  // the event type of a finished shared-memory put

    Atom wmProtocols = 0;
    Atom wmDeleteWindow = 0;
    Atom netWmName = 0;
    Atom utf8String = 0;

private:
    X11Display() = default;
    bool chooseVisual();
    void makeResources();
    bool ownColormap = false;
    bool ownFont = false;
};

}  // namespace glimsel_x11
