#pragma once

#include "render/surface_pixels.h"

// Gives the benchmark host a screen-sized surface and builds the start-up world once.
void prepareBenchWorld(int width, int height);
SurfacePixels& benchSurface();
