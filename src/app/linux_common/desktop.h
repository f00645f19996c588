#pragma once

// The Linux desktop the program runs on: X11 or Wayland. The host port (host/host.h)
// forwards the surface and its presentation to whichever desktop is up.

#include "host/pixel_rect.h"
#include "host/surface_pixels.h"

struct Desktop {
    SurfacePixels& (*surface)();
    void (*present)(const DirtyRegion& changed);
};

// Set by the desktop once its window and surface exist; null before.
extern const Desktop* activeDesktop;

// How a desktop's run went.
struct DesktopOutcome {
    enum Kind {
        Unreachable,        // no display or compositor answered (nothing said yet)
        WithoutLayerShell,  // a Wayland compositor without layer-shell (nothing said yet)
        Failed,             // it could not start; why has been reported
        Ended,              // it ran, and ended with `status`
    };
    Kind kind = Failed;
    int status = 1;
};
