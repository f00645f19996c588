#pragma once

#include <cstdint>

#include "render/surface_pixels.h"

struct BrickUnit;

inline constexpr uint32_t blackColour = 0;

// Wipes the surface to transparent and draws every unit of the World in order.
void renderScene(SurfacePixels& surface);

// Draws body, stud, and frame edges of one unit at its drawn position.
void drawUnit(SurfacePixels& surface, const BrickUnit& unit);

// Writes every pixel from (x0, y0) to (x1, y1), bounds included; clipped to the surface.
void fillBlock(SurfacePixels& surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour,
               float opacity);

// Replaces one pixel with the premultiplied colour; points outside the surface are ignored.
void putPixel(SurfacePixels& surface, int32_t x, int32_t y, uint32_t colour, float opacity);

// Renders into the host's surface and has the host present it.
void redrawScene();
