#include "recording_host.h"

#include <cstring>

#include "host/host.h"
#include "interaction/drag_state.h"
#include "world/world.h"

RecordingHost& recordingHost() {
    static RecordingHost host;
    return host;
}

void resetRecordingHost(int width, int height) {
    RecordingHost& host = recordingHost();
    host.memory.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    host.surface = SurfacePixels{width, height, 4 * width, host.memory.empty() ? nullptr : host.memory.data()};
    host.presentCount = 0;
    host.sounds.clear();
    host.keepSoundText = true;
    host.soundCount = 0;
}

uint32_t pixelAt(const SurfacePixels& surface, int x, int y) {
    uint32_t value = 0;
    std::memcpy(&value, surface.pixels + y * surface.stride + 4 * x, 4);
    return value;
}

SurfacePixels& hostSurface() {
    return recordingHost().surface;
}

void hostPresentSurface(const DirtyRegion& changed) {
    ++recordingHost().presentCount;
    recordingHost().lastRegion = changed;
}

void hostPlaySound(const char* relativePath) {
    RecordingHost& host = recordingHost();
    ++host.soundCount;
    if (host.keepSoundText) host.sounds.emplace_back(relativePath);
}

TestWorld::TestWorld() {
    World.clear();
    resetInteraction();
    resetRecordingHost();
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

void TestWorld::adoptCreatedWorld() {
    for (BrickUnit* unit : World) owned_.push_back(unit);
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
