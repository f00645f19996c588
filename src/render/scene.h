#pragma once

#include <cstdint>

#include "host/pixel_rect.h"
#include "host/surface_pixels.h"

struct BrickUnit;

inline constexpr uint32_t blackColour = 0;

// Wipes the surface to transparent and draws every unit of the World in order.
void renderScene(SurfacePixels& surface);

// Draws body, stud, and frame edges of one unit at its drawn position.
void drawUnit(SurfacePixels& surface, const BrickUnit& unit);
void drawUnitClipped(SurfacePixels& surface, const PixelRect& clip, const BrickUnit& unit);

// Writes the opaque colour to every pixel from (x0, y0) to (x1, y1), bounds
// included, that lies inside both the clip and the surface.
void fillBlockClipped(SurfacePixels& surface, const PixelRect& clip, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                      uint32_t colour);

// The stud's columns and top row for a unit drawn at x, y (its bottom row is y).
int32_t studLeft(int32_t x);
int32_t studRight(int32_t x);
int32_t studTop(int32_t y);

PixelRect wholeSurface(const SurfacePixels& surface);
bool hasPixelMemory(const SurfacePixels& surface);
