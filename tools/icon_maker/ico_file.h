#pragma once

#include <cstdint>
#include <vector>

#include "rgba_image.h"

// The bytes of a Windows .ico file holding the square pictures in the order given.
// Pictures of 256 pixels go in as PNG, which only Windows Vista and later read, and which
// only they would choose; smaller ones as 32-bit bitmaps with their AND mask, which every
// Windows and every icon reader understands.
std::vector<uint8_t> encodeIco(const std::vector<RgbaImage>& pictures);
