#include "world/brick_unit.h"

#include <cstdlib>

// Screen area over which new units are scattered.
static constexpr int scatterHeight = 768;
static constexpr int scatterWidth = 1000;

BrickUnit::BrickUnit(uint32_t brickColour) : colour(brickColour) {
    // The order of the two draws is part of the world's identity: y first, then x.
    y = std::rand() % scatterHeight;
    x = std::rand() % scatterWidth;
    drawX = x;
    drawY = y;
}
