#pragma once

#include <cstdint>
#include <vector>

#include "app/memory/memory_host.h"
#include "world/brick_unit.h"

// Reads one pixel as 0xAARRGGBB.
uint32_t pixelAt(const SurfacePixels& surface, int x, int y);

// Owns test units, puts them into the World in the given order, and empties the
// World and the interaction state on destruction. Starts with an empty in-memory host.
class TestWorld {
public:
    TestWorld();
    // The program's start world, createWorld's after srand(1), on a width x height surface; its first
    // picture shown unless the width is 0.
    explicit TestWorld(int width, int height = 0);
    ~TestWorld();
    TestWorld(const TestWorld&) = delete;
    TestWorld& operator=(const TestWorld&) = delete;

    // A lone unit appended to the World.
    BrickUnit& unit(int32_t x, int32_t y, uint32_t colour = 0x1B28C4);

    // A brick of n units whose rightmost unit stands at (x, y), appended right to left.
    // Returns the units from left to right.
    std::vector<BrickUnit*> brick(int n, int32_t x, int32_t y, uint32_t colour = 0x1B28C4);

private:
    std::vector<BrickUnit*> owned_;
};

// Links upper onto lower in both directions, as an attach does.
void stack(BrickUnit& upper, BrickUnit& lower);

// Whether every unit of the World has mark 0.
bool allMarksZero();
