#pragma once

#include <cstdint>

struct BrickUnit;

// Joins the held group to the snap target's group and lays it out on the target's lattice.
void attachGroup(BrickUnit& unit);

// Whether the clicked unit's brick may be cut from what it rests on (lies under).
bool canDetachFromBelow(BrickUnit& unit);
bool canDetachFromAbove(BrickUnit& unit);

// Explores from a unit outside the brick; false when it reaches back into the brick
// from the other side.
bool exploreBelow(BrickUnit& unit, int32_t stamp);
bool exploreAbove(BrickUnit& unit, int32_t stamp);

// Cuts the brick's links to what lies under (over) it and plays the detach sound.
void detachFromBelow(BrickUnit& unit);
void detachFromAbove(BrickUnit& unit);
