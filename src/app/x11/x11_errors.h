#pragma once

// The connection to the display and the errors on it. A request the server may
// refuse (a key another client holds, shared memory it cannot see) is noted and
// the program goes on; a lost connection ends the process with status 1.

#include <X11/Xlib.h>

// Opens the display DISPLAY names, with those two ways of taking errors; null when
// it cannot be opened.
Display* openTolerantDisplay();

// Waits until the server has answered everything sent so far; returns the first
// error code among the answers since the last call, or 0.
int syncAndTakeError(Display* display);
