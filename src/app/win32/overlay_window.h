#pragma once

#include <cstdint>

#include "app/win32/drawing_surface.h"
#include "app/win32/win32_platform.h"
#include "render/scaled_picture.h"

// The one overlay window: a layered, click-through, topmost popup over the screen.
// The right-button swallow flag lives with the drag state (swallowRightUp).
struct OverlayWindow {
    HWND window;
    HDC windowDC;          // fetched once at start-up; nothing reads it later
    int32_t screenWidth;   // the screen's clip box, in device pixels
    int32_t screenHeight;
    DrawingSurface surface;  // device pixels, the size of the screen
    // What the scene is drawn in, at the monitor's scale (whole device pixels per logical one): the surface
    // itself at scale 1.
    ScaledPicture scene{};
};

extern OverlayWindow overlayWindow;

// Shows the overlay's surface on its window with per-pixel alpha. With a dirty
// rectangle only that part is brought over, falling back to the whole surface
// where the system refuses the partial update.
void presentSurface(OverlayWindow& overlay, const RECT* dirty = nullptr);
