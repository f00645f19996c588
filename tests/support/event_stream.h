#pragma once

#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "test_world.h"

// Random mouse events over the created world, chosen to visit every state with both
// buttons, near bricks and far off, and the checks the world must pass after each.
class EventStream {
public:
    // Creates the world after srand(1) on a surface of the given size and shows it.
    EventStream(unsigned seed, int width, int height);

    // Picks one event, hands it to the core, and returns what it was.
    std::string step();

    // What is wrong with the world now, or nothing: marks 0 at rest, links symmetric,
    // bricks unchanged, every group on its lattice, drawn places equal to logical
    // ones outside a snap preview.
    std::string brokenInvariant() const;

    // What differs between the surface and a full redraw of the world, or nothing.
    std::string pictureMismatch();

private:
    int pick(int low, int high);

    TestWorld world_;
    std::mt19937 random_;
    std::vector<std::tuple<uint32_t, BrickUnit*, BrickUnit*>> bricks_;
    std::set<BrickUnit*> previewed_;  // left at a snap preview by a press while snapped
    std::vector<uint8_t> reference_;
    int32_t x_ = 0, y_ = 0, goalX_ = 0, goalY_ = 0;
    int steps_ = 0;
};

// Every unit reachable from the unit over its four links.
std::set<BrickUnit*> groupOf(BrickUnit* start);
