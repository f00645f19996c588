#pragma once

#include "host/pixel_rect.h"
#include "host/surface_pixels.h"

// The host's Desktop record: the picture the core draws in, and its presentation on
// every output the changed rectangles touch.
SurfacePixels& waylandSurface();
void waylandPresent(const DirtyRegion& changed);

// Commits what waits for a buffer, on every output, once the compositor has
// released one.
void commitWaitingPictures();
