#include "platform/linux/x11_errors.h"

#include <cstdio>

namespace glimsel_x11 {

namespace {

// The error handler is process-wide by the nature of Xlib, so its state is too; the
// program has one thread and traps nest like a stack.
struct TrapState {
    bool active = false;
    int code = 0;
};
TrapState trap;
int logged = 0;
ResourceFilter expected = nullptr;
void* expectedContext = nullptr;
constexpr int LOG_LIMIT = 20;  // a dying host can cause a burst; the first ones tell the story

int handleError(Display* display, XErrorEvent* e) {
    if (trap.active) {
        if (!trap.code) trap.code = e->error_code;
        return 0;
    }
    bool mayVanish = e->error_code == BadWindow || e->error_code == BadDrawable || e->error_code == BadMatch;
    if (mayVanish && expected && expected(expectedContext, e->resourceid)) return 0;
    if (logged < LOG_LIMIT) {
        ++logged;
        char text[160] = "";
        XGetErrorText(display, e->error_code, text, sizeof text);
        std::fprintf(stderr, "glimsel: X error: %s (request %d.%d, resource 0x%lx)\n", text, e->request_code,
                     e->minor_code, e->resourceid);
    }
    return 0;
}

}  // namespace

void installErrorHandler() { XSetErrorHandler(handleError); }

void setExpectedErrors(ResourceFilter filter, void* context) {
    expected = filter;
    expectedContext = context;
}

ErrorTrap::ErrorTrap(Display* display) : display(display), outerActive(trap.active), outerCode(trap.code) {
    // Errors of earlier requests belong to the code outside the trap.
    XSync(display, False);
    trap.active = true;
    trap.code = 0;
}

ErrorTrap::~ErrorTrap() {
    if (!done) finish();
}

int ErrorTrap::finish() {
    if (done) return 0;
    XSync(display, False);
    int code = trap.code;
    trap.active = outerActive;
    trap.code = outerCode;
    done = true;
    return code;
}

}  // namespace glimsel_x11
