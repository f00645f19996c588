#pragma once

// The desktop's present: the changed rectangles of the surface onto the window.

#include "host/pixel_rect.h"

void presentDirtyRegion(const DirtyRegion& changed);
