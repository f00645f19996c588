#pragma once

// The window's two shapes: the bounding shape is the pixels with alpha > 0, the
// input shape where a unit can be grabbed.

#include "host/pixel_rect.h"

void reshapeBand(const PixelRect& band);
