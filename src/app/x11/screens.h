#pragma once

// The screen's monitors and size (RandR).

#include <X11/Xlib.h>

struct RootPoint {
    int x;
    int y;
};
RootPoint primaryMonitorCorner();

// For the root window's own ConfigureNotify.
void followRootSize(XEvent& event);
