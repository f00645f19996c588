#pragma once

// Escape, from anywhere, ends the program; Alt+Escape does not.

#include <X11/Xlib.h>

// Grabs Escape on the root and listens to raw key events.
void watchEscapeKey();

// True when the event is an Escape that should end the program.
bool isEndingEscape(XEvent& event);
