#include "platform/linux/x11_display.h"

#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include "platform/linux/x11_errors.h"

namespace glimsel_x11 {

namespace {

bool isPlainRgb(const Visual* v) {
    return v->red_mask == 0xff0000 && v->green_mask == 0x00ff00 && v->blue_mask == 0x0000ff;
}

}  // namespace

std::unique_ptr<X11Display> X11Display::open(char const* name) {
    Display* d = XOpenDisplay(name);
    if (!d) return nullptr;
    installErrorHandler();
    std::unique_ptr<X11Display> x(new X11Display());
    x->display = d;
    x->screen = DefaultScreen(d);
    x->root = RootWindow(d, x->screen);
    if (!x->chooseVisual()) return nullptr;
    x->makeResources();
    return x;
}

bool X11Display::chooseVisual() {
    Visual* def = DefaultVisual(display, screen);
    int defDepth = DefaultDepth(display, screen);
    XVisualInfo info;
    if (def->c_class == TrueColor && defDepth == 24 && isPlainRgb(def)) {
        visual = def;
        depth = defDepth;
        colormap = DefaultColormap(display, screen);
    } else if (XMatchVisualInfo(display, screen, 24, TrueColor, &info) && isPlainRgb(info.visual)) {
        visual = info.visual;
        depth = 24;
        colormap = XCreateColormap(display, root, visual, AllocNone);
        ownColormap = true;
    } else if (def->c_class == TrueColor) {
        // Another true-colour layout (16 bits, say): the framebuffer converts.
        visual = def;
        depth = defDepth;
        colormap = DefaultColormap(display, screen);
    } else {
        return false;
    }
    plainRgb = isPlainRgb(visual);
    blackPixel = 0;
    whitePixel = visual->red_mask | visual->green_mask | visual->blue_mask;
    return true;
}

void X11Display::makeResources() {
    static const char emptyBits[32 * 32 / 8] = {};
    Pixmap bitmap = XCreateBitmapFromData(display, root, emptyBits, 32, 32);
    XColor black{};
    invisibleCursor = XCreatePixmapCursor(display, bitmap, bitmap, &black, &black, 0, 0);
    XFreePixmap(display, bitmap);

    font = XLoadQueryFont(display, "fixed");
    ownFont = font != nullptr;
    if (!font) font = XQueryFont(display, XGContextFromGC(DefaultGC(display, screen)));

    // GCs must match the depth of the windows they draw on, which may differ from the
    // root window's: make them on a pixmap of our depth.
    Pixmap probe = XCreatePixmap(display, root, 1, 1, static_cast<unsigned>(depth));
    XGCValues values{};
    values.foreground = blackPixel;
    values.background = whitePixel;
    values.graphics_exposures = False;
    unsigned long mask = GCForeground | GCBackground | GCGraphicsExposures;
    if (font && ownFont) {
        values.font = font->fid;
        mask |= GCFont;
    }
    textGC = XCreateGC(display, probe, mask, &values);
    copyGC = XCreateGC(display, probe, GCGraphicsExposures, &values);
    XFreePixmap(display, probe);

    shmAvailable = XShmQueryExtension(display);
    if (shmAvailable) shmCompletion = XShmGetEventBase(display) + ShmCompletion;

    wmProtocols = XInternAtom(display, "WM_PROTOCOLS", False);
    wmDeleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    utf8String = XInternAtom(display, "UTF8_STRING", False);
}

X11Display::~X11Display() {
    if (!display) return;
    if (textGC) XFreeGC(display, textGC);
    if (copyGC) XFreeGC(display, copyGC);
    if (font) {
        if (ownFont) {
            XFreeFont(display, font);
        } else {
            XFreeFontInfo(nullptr, font, 1);
        }
    }
    if (invisibleCursor) XFreeCursor(display, invisibleCursor);
    if (ownColormap) XFreeColormap(display, colormap);
    XCloseDisplay(display);
}

}  // namespace glimsel_x11
