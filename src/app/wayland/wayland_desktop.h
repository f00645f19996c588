#pragma once

#include "app/linux_common/desktop.h"

// Runs the toy on the Wayland compositor named by WAYLAND_DISPLAY until Escape, a
// signal, another start or the compositor ends it; Unreachable and WithoutLayerShell
// say nothing, so the program can turn to X11.
DesktopOutcome runWaylandDesktop();
