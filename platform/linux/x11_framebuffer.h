// The client-side image a window's drawing goes into before it is put on the window:
// a shared-memory image where the server offers MIT-SHM and accepts our segment, a
// plain image sent with XPutImage otherwise.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include "imaging/Canvas.h"
#include "platform/WindowSystem.h"

namespace glimsel_x11 {

class X11Display;

class X11Framebuffer {
public:
    X11Framebuffer(X11Display& x, int width, int height);
    ~X11Framebuffer();
    X11Framebuffer(const X11Framebuffer&) = delete;
    X11Framebuffer& operator=(const X11Framebuffer&) = delete;

    // False when no image could be made (too large for the memory at hand).
    bool valid() const { return image != nullptr; }
    int width() const { return w; }
    int height() const { return h; }

    // Where the renderer draws: 0x00RRGGBB pixels (those a decoder wrote through
    // paddedPixels may have any top byte). Waits until the server has read the pixels of
    // the last put, so that they are not changed under it.
    img_lib::Canvas canvas();
    // The same pixels for a decoder to write whole rows into, where the fourth byte of a
    // pixel never reaches the screen (the window's depth leaves it out); false where it
    // would, or where put converts the pixels.
    bool paddedPixels(img_lib::Canvas& out);
    // Reads the rectangle (inside the image) back from the window: what it shows.
    void restore(::Window window, const glimsel_ui::Rect& r);
    // Copies the rectangle (already inside the image) onto the window. A shared-memory
    // put runs on in the server while the program goes on (decodes the next picture).
    void put(::Window window, const glimsel_ui::Rect& r);
    // The server's report that it has read the segment: the completion event.
    void completed(const XEvent& e);

private:
    bool makeShared();
    bool makePlain();
    void convert(const glimsel_ui::Rect& r);
    void release();
    void waitForServer();

    X11Display& x;
    int w;
    int h;
    XImage* image = nullptr;
    XShmSegmentInfo shm{};
    bool shmAttached = false;
    bool putPending = false;  // a shared-memory put the server has not yet confirmed
    // The image's own pixels when they are 0x00RRGGBB in host order, a separate buffer
    // that put converts otherwise.
    bool direct = false;
    uint32_t* separate = nullptr;
    img_lib::Canvas surface;
};

}  // namespace glimsel_x11
