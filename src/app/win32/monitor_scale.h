#pragma once

#include <cstdint>

#include "app/win32/win32_platform.h"

struct OverlayWindow;

// The scale a monitor of `dpi` dots per inch gets: whole device pixels per logical
// pixel (dpi / 96 rounded down, at least 1), in 120ths. Fractional scales are shown
// at the whole scale below them, so every brick pixel stays a sharp square.
int32_t scaleForDpi(UINT dpi);

// Measures the screen (its clip box, in device pixels) and makes the overlay's
// surfaces for it at the scale of `dpi`: the device
// surface the size of the screen and, above scale 1, the scene's logical image of
// the screen's size divided by the scale (rounded down). False when the device
// surface cannot be made.
bool makeOverlaySurfaces(OverlayWindow& overlay, UINT dpi);

// WM_DPICHANGED: the screen measured again, the surfaces made anew at the new
// scale and the whole scene shown; the bricks keep their logical places.
void followDpiChange(UINT dpi);
