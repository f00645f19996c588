#include "app/x11/x11_errors.h"

#include <cstdlib>

#include "app/linux_common/report.h"

namespace {

// The first error the server sent since syncAndTakeError last took one; 0 for none.
int lastXError = 0;

int noteXError(Display*, XErrorEvent* error) {
    if (lastXError == 0) lastXError = error->error_code;
    return 0;
}

// Xlib ends the process itself when this handler returns, so it ends it here, with
// the program's own report and status.
[[noreturn]] int lostDisplay(Display*) {
    report("lost the connection to the display; ending");
    std::_Exit(1);
}

void installXErrorHandlers() {
    XSetErrorHandler(noteXError);
    XSetIOErrorHandler(lostDisplay);
}

}  // namespace

//------------------------------------------------------------------------------
Display* openTolerantDisplay() {
    Display* display = XOpenDisplay(nullptr);
    if (display != nullptr) installXErrorHandlers();
    return display;
}

//------------------------------------------------------------------------------
int syncAndTakeError(Display* display) {
    XSync(display, False);
    const int error = lastXError;
    lastXError = 0;
    return error;
}
