#pragma once

#include <cstdint>
#include <vector>

#include "world/brick_unit.h"

// Every unit in creation order: the drawing order and the scan order of every search.
extern std::vector<BrickUnit*> World;

inline constexpr int worldBrickCount = 100;

// Scatters the hundred bricks from the unseeded rand() sequence. Drawing them is
// the host's next step.
void createWorld();

// Moves every unit by the offset: the hosts place the scattered bricks on the
// primary screen, and keep them where they lie when the surface's origin moves.
void shiftWorld(int32_t dx, int32_t dy);

// The first unit in World order whose logical rectangle holds the point, or null.
BrickUnit* unitAtPoint(int32_t px, int32_t py);
