#pragma once

// The overlay opened and closed: the display, the window and its surface, and
// the desktop the host port presents through.

// Opens the display and makes the unmapped window with its surface, then makes
// this the active desktop; false, after saying why, when it cannot.
bool openOverlay();

// Leaves the active desktop, lets go of the pointer, and closes the surface, the
// window and the display.
void closeOverlay();
