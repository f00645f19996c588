#pragma once

#include "app/linux_common/desktop.h"

// What openWaylandDesktop returns when it could not start at all, before any
// picture: no compositor answered, or the compositor offers no layer-shell.
inline constexpr int waylandUnreachable = -1;
inline constexpr int waylandWithoutLayerShell = -2;

// Runs the toy on the Wayland compositor named by WAYLAND_DISPLAY until it ends.
DesktopOutcome runWaylandDesktop();
