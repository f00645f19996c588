#pragma once

// The pointer's buttons and motion, handed to the drag state machine.

#include <X11/Xlib.h>

void handlePointerEvent(const XEvent& event);
