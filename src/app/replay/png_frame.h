#pragma once

#include <string>

#include "host/surface_pixels.h"

// Writes the surface as an RGBA PNG, undoing the premultiplication. False on failure.
bool writePngFrame(const SurfacePixels& surface, const std::string& path);
