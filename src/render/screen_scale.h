#pragma once

#include <cstdint>

#include "host/pixel_rect.h"
#include "host/surface_pixels.h"

// A screen's scale: how many device pixels one logical pixel of the surface covers
// along each axis, in 120ths (Wayland's own unit for fractional scales): 120 is 1:1,
// 240 is 2, 180 is 1.5. The core draws in logical pixels; a host whose screen is
// scaled brings each logical pixel to the device image as a block of device pixels,
// nearest neighbour, so the bricks' edges stay sharp.
constexpr int32_t kUnscaled = 120;

// The first device pixel at or right of logical coordinate `logical`.
inline int32_t toDevice(int32_t logical, int32_t per120) {
    const int64_t scaled = int64_t{logical} * per120;
    return static_cast<int32_t>(scaled >= 0 ? (scaled + 119) / 120 : -(-scaled / 120));
}

// The logical pixel that device pixel `device` shows (rounded down, also left of 0).
inline int32_t toLogical(int32_t device, int32_t per120) {
    const int64_t scaled = int64_t{device} * 120;
    return static_cast<int32_t>(scaled >= 0 ? scaled / per120 : -((-scaled + per120 - 1) / per120));
}

// The device pixels that show the logical rectangle `rect`.
inline PixelRect toDevice(const PixelRect& rect, int32_t per120) {
    return PixelRect{toDevice(rect.left, per120), toDevice(rect.top, per120), toDevice(rect.right, per120),
                     toDevice(rect.bottom, per120)};
}

// Brings the logical pixels of `area` to `device`, whose pixel (0, 0) shows logical
// pixel (originX, originY). What falls outside either image is left alone. At scale
// 120 this is a copy of rows. Allocates nothing.
void copyScaled(const SurfacePixels& logical, const PixelRect& area, int32_t per120, int32_t originX,
                int32_t originY, SurfacePixels& device);
