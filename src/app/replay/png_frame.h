#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/surface_pixels.h"

// Writes the surface as an RGBA PNG, undoing the premultiplication. False on failure.
bool writePngFrame(const SurfacePixels& surface, const std::string& path);

// The bytes of an RGBA PNG file of top-down rows of red, green, blue and alpha, not
// premultiplied (the icon maker's pictures).
std::vector<uint8_t> encodePng(const uint8_t* rgba, int32_t width, int32_t height);
