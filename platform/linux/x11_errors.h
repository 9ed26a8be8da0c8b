// X protocol errors. The program's handler logs and carries on: a foreign preview
// parent that its owner destroys makes the server refuse our next requests on it
// (BadWindow, BadDrawable), and that must never end the program.
#pragma once

#include <X11/Xlib.h>

namespace glimsel_x11 {

// Installs the logging handler for the whole process; safe to call more than once.
void installErrorHandler();

// Tells the handler which resources may vanish under the program's hands (windows of
// other programs, and ours inside them): errors on those are the expected race with
// their owner and are not logged. Null: log everything.
using ResourceFilter = bool (*)(void* context, unsigned long resource);
void setExpectedErrors(ResourceFilter filter, void* context);

// Catches the errors of the requests made while it lives, instead of logging them:
// the way to ask the server whether something works (an XShm attach, a window id
// that another program gave us).
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display);
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    // Waits for the server to process the requests; the first error code, or 0.
    int finish();

private:
    Display* display;
    bool done = false;
    bool outerActive;
    int outerCode;
};

}  // namespace glimsel_x11
