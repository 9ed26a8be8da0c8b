// A stand-in for a program that offers a preview pane: makes a top-level window of the
// given size, prints its id, and then obeys lines on standard input:
//   resize W H    resizes the window
//   children      prints "child ID W H" for each child window, then "end"
//   grab          grabs the keyboard (as an open menu does); ungrab releases it
//   delete ID     sends the window manager's close request (WM_DELETE_WINDOW) to ID
//   quit          destroys the window and ends
// It ends by itself when its window is destroyed; killing it destroys the window too.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace {

void listChildren(Display* d, Window w) {
    Window root;
    Window parent;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(d, w, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes a;
            if (XGetWindowAttributes(d, children[i], &a)) {
                std::printf("child %lu %d %d %s\n", children[i], a.width, a.height,
                            a.map_state == IsViewable ? "viewable" : "hidden");
            }
        }
        if (children) XFree(children);
    }
    std::printf("end\n");
    std::fflush(stdout);
}

// Handles one command line; false to end.
bool command(Display* d, Window w, const std::string& line) {
    int width = 0;
    int height = 0;
    if (std::sscanf(line.c_str(), "resize %d %d", &width, &height) == 2 && width > 0 && height > 0) {
        XResizeWindow(d, w, static_cast<unsigned>(width), static_cast<unsigned>(height));
        XSync(d, False);
        std::printf("resized\n");
        std::fflush(stdout);
    } else if (line == "children") {
        XSync(d, False);
        listChildren(d, w);
    } else if (line == "grab") {
        int status = XGrabKeyboard(d, w, True, GrabModeAsync, GrabModeAsync, CurrentTime);
        XSync(d, False);
        std::printf("%s\n", status == GrabSuccess ? "grabbed" : "refused");
        std::fflush(stdout);
    } else if (line == "ungrab") {
        XUngrabKeyboard(d, CurrentTime);
        XSync(d, False);
        std::printf("ungrabbed\n");
        std::fflush(stdout);
    } else if (line.compare(0, 7, "delete ") == 0) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = std::strtoul(line.c_str() + 7, nullptr, 0);
        e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(d, e.xclient.window, False, NoEventMask, &e);
        XSync(d, False);
        std::printf("sent\n");
        std::fflush(stdout);
    } else if (line == "quit") {
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: x11_host WIDTH HEIGHT\n");
        return 2;
    }
    int width = std::atoi(argv[1]);
    int height = std::atoi(argv[2]);
    Display* d = XOpenDisplay(nullptr);
    if (!d || width <= 0 || height <= 0) return 1;
    int screen = DefaultScreen(d);
    Window w = XCreateSimpleWindow(d, RootWindow(d, screen), 0, 0, static_cast<unsigned>(width),
                                   static_cast<unsigned>(height), 0, BlackPixel(d, screen), WhitePixel(d, screen));
    // The host takes its own clicks, as a settings dialog would.
    XSelectInput(d, w, StructureNotifyMask | ButtonPressMask);
    XStoreName(d, w, "x11_host");
    XMapWindow(d, w);
    XSync(d, False);
    std::printf("%lu\n", w);
    std::fflush(stdout);

    std::string pending;
    bool input = true;
    for (;;) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == DestroyNotify && e.xdestroywindow.window == w) return 0;
        }
        pollfd fds[2] = {{ConnectionNumber(d), POLLIN, 0}, {0, POLLIN, 0}};
        if (poll(fds, input ? 2 : 1, -1) < 0) continue;
        if (input && fds[1].revents) {
            char buffer[256];
            ssize_t n = read(0, buffer, sizeof buffer);
            if (n <= 0) {
                input = false;  // no more commands: live until killed
                continue;
            }
            pending.append(buffer, static_cast<size_t>(n));
            size_t eol;
            while ((eol = pending.find('\n')) != std::string::npos) {
                std::string line = pending.substr(0, eol);
                pending.erase(0, eol + 1);
                if (!command(d, w, line)) {
                    XDestroyWindow(d, w);
                    XCloseDisplay(d);
                    return 0;
                }
            }
        }
    }
}
