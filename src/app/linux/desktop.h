#pragma once

#include "render/pixel_rect.h"
#include "render/surface_pixels.h"

// The Linux desktop the program runs on (X11 or Wayland): where the core draws and
// how its picture reaches the screen. The desktop that starts sets activeDesktop.
struct Desktop {
    SurfacePixels& (*surface)();
    void (*present)(const DirtyRegion&);
};

extern const Desktop* activeDesktop;

// Runs the toy on the X11 display named by DISPLAY until it ends; the exit status.
int runX11Desktop();

// What runWaylandDesktop returns when it could not start at all, before any
// picture: no compositor answered, or the compositor offers no layer-shell.
inline constexpr int waylandUnreachable = -1;
inline constexpr int waylandWithoutLayerShell = -2;

// Runs the toy on the Wayland compositor named by WAYLAND_DISPLAY until it ends;
// the exit status, or one of the two refusals above.
int runWaylandDesktop();
