#include "world/world.h"

#include <cstdlib>

#include "world/brick_colour.h"

std::vector<BrickUnit*> World;

// Appends one brick of 1, 2 or 4 units, rightmost unit first.
static void createBrick() {
    const uint32_t colour = static_cast<uint32_t>(brickColours[std::rand() % brickColourCount]);
    const int unitCount = 1 << (std::rand() % 3);

    World.push_back(new BrickUnit(colour));
    for (int i = 1; i < unitCount; ++i) {
        // The new unit makes its own two draws even though its position is replaced.
        auto* unit = new BrickUnit(colour);
        BrickUnit* previous = World.back();
        previous->left = unit;
        unit->setGroupPosition(previous->x - unitPitchX, previous->y);
        unit->setGroupMark(0);
        unit->setGroupDrawPosition(previous->drawX - unitPitchX, previous->drawY);
        unit->setGroupMark(0);
        unit->right = previous;
        World.push_back(unit);
    }
}

void createWorld() {
    for (int brick = 0; brick < worldBrickCount; ++brick) {
        createBrick();
    }
}

void shiftWorld(int32_t dx, int32_t dy) {
    for (BrickUnit* unit : World) {
        unit->x += dx;
        unit->y += dy;
        unit->drawX += dx;
        unit->drawY += dy;
    }
}

// The first match wins, which is the unit drawn beneath where units overlap.
BrickUnit* unitAtPoint(int32_t px, int32_t py) {
    for (BrickUnit* unit : World) {
        if (unit->x <= px && px <= unit->x + unitPitchX && unit->y <= py && py <= unit->y + unitPitchY) {
            return unit;
        }
    }
    return nullptr;
}
