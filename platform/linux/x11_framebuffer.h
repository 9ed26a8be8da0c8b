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
    bool sharedMemory() const { return shmAttached; }
    int width() const { return w; }
    int height() const { return h; }

    // Where the renderer draws: 0x00RRGGBB pixels.
    img_lib::Canvas canvas() const { return surface; }
    // Copies the rectangle (already inside the image) onto the window.
    void put(::Window window, const glimsel_ui::Rect& r);

private:
    bool makeShared();
    bool makePlain();
    void convert(const glimsel_ui::Rect& r);
    void release();

    X11Display& x;
    int w;
    int h;
    XImage* image = nullptr;
    XShmSegmentInfo shm{};
    bool shmAttached = false;
    // The image's own pixels when they are 0x00RRGGBB in host order, a separate buffer
    // that put converts otherwise.
    bool direct = false;
    uint32_t* separate = nullptr;
    img_lib::Canvas surface;
};

}  // namespace glimsel_x11
