#pragma once

// The Linux desktop the program runs on (X11 now; Wayland beside it later). The
// host port (host/host.h) forwards the surface and its presentation to whichever
// desktop main() started.

#include "host/pixel_rect.h"
#include "host/surface_pixels.h"

struct Desktop {
    SurfacePixels& (*surface)();
    void (*present)(const DirtyRegion& changed);
};

// Set by the desktop once its window and surface exist; null before.
extern const Desktop* activeDesktop;
