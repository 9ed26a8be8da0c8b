#include "platform/linux/gtk_x11.h"

#include <gdk/gdkx.h>

namespace glimsel_gtk {

void useDefaultVisual(GtkWidget* toplevel) {
    GdkScreen* screen = gtk_widget_get_screen(toplevel);
    if (!screen || !GDK_IS_X11_SCREEN(screen)) return;
    Screen* xscreen = gdk_x11_screen_get_xscreen(screen);
    GdkVisual* visual = gdk_x11_screen_lookup_visual(screen, XVisualIDFromVisual(DefaultVisualOfScreen(xscreen)));
    if (visual) gtk_widget_set_visual(toplevel, visual);
}

uint64_t nativeWindow(GdkWindow* window) {
    if (!window || !GDK_IS_X11_WINDOW(window) || !gdk_window_ensure_native(window)) return 0;
    XID xid = gdk_x11_window_get_xid(window);
    gdk_display_sync(gdk_window_get_display(window));
    return xid;
}

}  // namespace glimsel_gtk
