#pragma once

#include <cstdint>

#include "rgba_image.h"

// The square icon of the given side: the largest of the builds that fits, each of its
// pixels enlarged to a whole block of pixels and centred on a transparent ground.
RgbaImage iconPicture(int32_t side);

// Shortens the picture to at most the side by leaving out rows (and columns) that
// repeat their neighbour, from the middle of the longest such runs: the same bricks,
// smaller, with every edge kept.
RgbaImage squeezeRepeats(RgbaImage image, int32_t side);
