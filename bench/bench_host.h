#pragma once

#include "render/surface_pixels.h"

// Gives the benchmark host a screen-sized surface, builds the start-up world once
// and shows its first picture.
void prepareBenchWorld(int width, int height);
SurfacePixels& benchSurface();
