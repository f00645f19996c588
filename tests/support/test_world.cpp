#include "test_world.h"

#include <cstdlib>
#include <cstring>

#include "interaction/drag_state.h"
#include "render/redraw.h"
#include "world/world.h"

uint32_t pixelAt(const SurfacePixels& surface, int x, int y) {
    uint32_t value = 0;
    std::memcpy(&value, surface.pixels + y * surface.stride + 4 * x, 4);
    return value;
}

TestWorld::TestWorld() {
    World.clear();
    resetInteraction();
    resetMemoryHost(0, 0);
}

TestWorld::TestWorld(int width, int height) : TestWorld() {
    resetMemoryHost(width, height);
    std::srand(1);
    createWorld();
    owned_ = World;
    if (width > 0) showWholeScene();
}

TestWorld::~TestWorld() {
    World.clear();
    resetInteraction();
    for (BrickUnit* unit : owned_) delete unit;
}

BrickUnit& TestWorld::unit(int32_t x, int32_t y, uint32_t colour) {
    auto* created = new BrickUnit();
    created->colour = colour;
    created->x = created->drawX = x;
    created->y = created->drawY = y;
    owned_.push_back(created);
    World.push_back(created);
    return *created;
}

std::vector<BrickUnit*> TestWorld::brick(int n, int32_t x, int32_t y, uint32_t colour) {
    std::vector<BrickUnit*> units(static_cast<std::size_t>(n));
    for (int i = n - 1; i >= 0; --i) {
        units[static_cast<std::size_t>(i)] = &unit(x - (n - 1 - i) * unitPitchX, y, colour);
        if (i < n - 1) {
            units[static_cast<std::size_t>(i)]->right = units[static_cast<std::size_t>(i) + 1];
            units[static_cast<std::size_t>(i) + 1]->left = units[static_cast<std::size_t>(i)];
        }
    }
    return units;
}

void stack(BrickUnit& upper, BrickUnit& lower) {
    upper.below = &lower;
    lower.above = &upper;
}

bool allMarksZero() {
    for (const BrickUnit* unit : World) {
        if (unit->mark != 0) return false;
    }
    return true;
}
