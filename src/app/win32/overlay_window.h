#pragma once

#include <cstdint>
#include <vector>

#include "app/win32/drawing_surface.h"
#include "app/win32/win32_platform.h"
#include "render/screen_scale.h"

// The one overlay window: a layered, click-through, topmost popup over the screen.
// The right-button swallow flag lives with the drag state (swallowRightUp).
struct OverlayWindow {
    HWND window;
    HDC windowDC;          // fetched once at start-up; nothing reads it later
    int32_t screenWidth;   // the screen's clip box, in device pixels
    int32_t screenHeight;
    DrawingSurface surface;  // device pixels, the size of the screen
    int32_t per120 = kUnscaled;  // the monitor's scale: whole device pixels per logical one, in 120ths
    // At a scale above 1 the scene is drawn here, at the screen's size in logical pixels, and brought to the
    // surface as blocks at each presentation; empty at scale 1, where the scene is drawn into the surface.
    std::vector<uint8_t> scenePixels{};
};

extern OverlayWindow overlayWindow;
