#include "platform/linux/x11_framebuffer.h"

#include <cstdlib>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <X11/Xutil.h>

#include "platform/linux/x11_display.h"
#include "platform/linux/x11_errors.h"

namespace glimsel_x11 {

namespace {

int hostByteOrder() {
    const uint16_t probe = 1;
    return *reinterpret_cast<const uint8_t*>(&probe) == 1 ? LSBFirst : MSBFirst;
}

// Bytes of an image of `rows` rows of `bytesPerLine`, or 0 when that is absurd.
size_t imageBytes(int bytesPerLine, int rows) {
    if (bytesPerLine <= 0 || rows <= 0) return 0;
    return static_cast<size_t>(bytesPerLine) * static_cast<size_t>(rows);
}

// Moves an 8-bit channel into the place a mask gives it.
// Matches the completion event of one segment (the argument is the event type, then
// the segment); Xlib allows no calls to it from here.
struct Completion {
    int type;
    ShmSeg segment;
};

Bool isCompletionOf(Display*, XEvent* e, XPointer arg) {
    const auto* wanted = reinterpret_cast<const Completion*>(arg);
    return e->type == wanted->type && reinterpret_cast<const XShmCompletionEvent*>(e)->shmseg == wanted->segment;
}

unsigned long place(uint32_t value8, unsigned long mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    int bits = 0;
    while ((mask >> (shift + bits)) & 1) ++bits;
    unsigned long v = bits >= 8 ? static_cast<unsigned long>(value8) << (bits - 8) : value8 >> (8 - bits);
    return (v << shift) & mask;
}

}  // namespace

X11Framebuffer::X11Framebuffer(X11Display& x, int width, int height) : x(x), w(width), h(height) {
    if (w <= 0 || h <= 0) return;
    if (!(x.shmAvailable && makeShared()) && !makePlain()) return;
    direct = x.plainRgb && image->bits_per_pixel == 32 && image->byte_order == hostByteOrder() &&
             image->bytes_per_line % 4 == 0;
    if (direct) {
        surface = img_lib::Canvas{reinterpret_cast<uint32_t*>(image->data), w, h, image->bytes_per_line / 4};
        return;
    }
    separate = static_cast<uint32_t*>(std::calloc(static_cast<size_t>(w) * static_cast<size_t>(h), 4));
    if (!separate) {
        release();
        return;
    }
    surface = img_lib::Canvas{separate, w, h, w};
}

bool X11Framebuffer::makeShared() {
    image = XShmCreateImage(x.display, x.visual, static_cast<unsigned>(x.depth), ZPixmap, nullptr, &shm,
                            static_cast<unsigned>(w), static_cast<unsigned>(h));
    if (!image) return false;
    size_t bytes = imageBytes(image->bytes_per_line, image->height);
    shm.shmid = bytes ? shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600) : -1;
    if (shm.shmid < 0) {
        XDestroyImage(image);
        image = nullptr;
        return false;
    }
    void* address = shmat(shm.shmid, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        shmctl(shm.shmid, IPC_RMID, nullptr);
        XDestroyImage(image);
        image = nullptr;
        return false;
    }
    shm.shmaddr = image->data = static_cast<char*>(address);
    shm.readOnly = False;
    // A remote server, or one that may not see our segment, refuses the attach.
    ErrorTrap trap(x.display);
    Bool sent = XShmAttach(x.display, &shm);
    bool ok = trap.finish() == 0 && sent;
    // Marked for removal at once: it goes away with the last detach, even after a crash.
    shmctl(shm.shmid, IPC_RMID, nullptr);
    if (!ok) {
        shmdt(shm.shmaddr);
        image->data = nullptr;
        XDestroyImage(image);
        image = nullptr;
        return false;
    }
    shmAttached = true;
    return true;
}

bool X11Framebuffer::makePlain() {
    image = XCreateImage(x.display, x.visual, static_cast<unsigned>(x.depth), ZPixmap, 0, nullptr,
                         static_cast<unsigned>(w), static_cast<unsigned>(h), 32, 0);
    if (!image) return false;
    size_t bytes = imageBytes(image->bytes_per_line, image->height);
    image->data = bytes ? static_cast<char*>(std::calloc(bytes, 1)) : nullptr;
    if (!image->data) {
        XDestroyImage(image);
        image = nullptr;
        return false;
    }
    return true;
}

X11Framebuffer::~X11Framebuffer() { release(); }

void X11Framebuffer::release() {
    if (image) {
        if (shmAttached) {
            XShmDetach(x.display, &shm);
            XSync(x.display, False);
            shmdt(shm.shmaddr);
            image->data = nullptr;
        }
        XDestroyImage(image);  // frees the plain image's pixels too
        image = nullptr;
    }
    std::free(separate);
    separate = nullptr;
}

img_lib::Canvas X11Framebuffer::canvas() {
    waitForServer();
    return surface;
}

bool X11Framebuffer::paddedPixels(img_lib::Canvas& out) {
    if (!direct || image->depth > 24) return false;
    out = canvas();
    return true;
}

void X11Framebuffer::restore(::Window window, const glimsel_ui::Rect& r) {
    if (!image || r.width() <= 0 || r.height() <= 0) return;
    waitForServer();  // the server may still read the image
    // A window that is gone or not wholly on the screen cannot be read back; its pixels
    // stay as they are.
    ErrorTrap trap(x.display);
    XGetSubImage(x.display, window, r.left, r.top, static_cast<unsigned>(r.width()), static_cast<unsigned>(r.height()),
                 AllPlanes, ZPixmap, image, r.left, r.top);
    trap.finish();
}

void X11Framebuffer::waitForServer() {
    if (putPending) {
        XEvent e;
        Completion wanted{x.shmCompletion, shm.shmseg};
        XPointer arg = reinterpret_cast<XPointer>(&wanted);
        // Usually the event is long there. A put that the server refused (the window was
        // destroyed meanwhile) never completes: after a round trip nothing is pending.
        if (!XCheckIfEvent(x.display, &e, isCompletionOf, arg)) {
            XSync(x.display, False);
            XCheckIfEvent(x.display, &e, isCompletionOf, arg);
        }
        putPending = false;
    }
}

void X11Framebuffer::completed(const XEvent& e) {
    if (shmAttached && e.type == x.shmCompletion &&
        reinterpret_cast<const XShmCompletionEvent&>(e).shmseg == shm.shmseg) {
        putPending = false;
    }
}

void X11Framebuffer::convert(const glimsel_ui::Rect& r) {
    const Visual* v = x.visual;
    for (int row = r.top; row < r.bottom; ++row) {
        const uint32_t* src = separate + static_cast<size_t>(row) * static_cast<size_t>(w);
        for (int col = r.left; col < r.right; ++col) {
            uint32_t p = src[col];
            unsigned long pixel = place((p >> 16) & 0xff, v->red_mask) | place((p >> 8) & 0xff, v->green_mask) |
                                  place(p & 0xff, v->blue_mask);
            XPutPixel(image, col, row, pixel);
        }
    }
}

void X11Framebuffer::put(::Window window, const glimsel_ui::Rect& r) {
    if (!image || r.width() <= 0 || r.height() <= 0) return;
    if (!direct) {
        waitForServer();  // the conversion writes into the image the server may be reading
        convert(r);
    }
    const unsigned width = static_cast<unsigned>(r.width());
    const unsigned height = static_cast<unsigned>(r.height());
    if (shmAttached) {
        XShmPutImage(x.display, window, x.copyGC, image, r.left, r.top, r.left, r.top, width, height, True);
        putPending = true;
        XFlush(x.display);
    } else {
        XPutImage(x.display, window, x.copyGC, image, r.left, r.top, r.left, r.top, width, height);
        XFlush(x.display);
    }
}

}  // namespace glimsel_x11
