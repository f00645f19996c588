#pragma once

#include <cstdint>
#include <vector>

#include "rgba_image.h"

// The picture as the bytes of an RGBA PNG file.
std::vector<uint8_t> encodePng(const RgbaImage& image);
