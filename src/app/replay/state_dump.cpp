#include "app/replay/state_dump.h"

#include <cstdio>
#include <unordered_map>

#include "interaction/drag_state.h"
#include "interaction/snap_search.h"
#include "world/world.h"

namespace {

using UnitIndex = std::unordered_map<const BrickUnit*, int>;

int indexOf(const UnitIndex& index, const BrickUnit* unit) {
    if (unit == nullptr) return -1;
    const auto found = index.find(unit);
    return found == index.end() ? -1 : found->second;
}

}  // namespace

const char* dragStateName() {
    switch (dragState) {
        case DragState::Idle: return "Idle";
        case DragState::Holding: return "Holding";
        case DragState::Snapped: return "Snapped";
    }
    return "Idle";
}

std::string formatWorldState() {
    UnitIndex index;
    for (std::size_t i = 0; i < World.size(); ++i) index[World[i]] = static_cast<int>(i);

    std::string text;
    char line[256];
    std::snprintf(line, sizeof line, "state %s grabbed %d snapHeld %d snapTarget %d\n", dragStateName(),
                  indexOf(index, grabbedUnit), indexOf(index, snapHeld), indexOf(index, snapTarget));
    text += line;
    for (std::size_t i = 0; i < World.size(); ++i) {
        const BrickUnit& unit = *World[i];
        std::snprintf(line, sizeof line, "%d %06x %d %d %d %d %d %d %d %d %d %d\n", static_cast<int>(i),
                      static_cast<unsigned>(unit.colour), static_cast<int>(unit.x), static_cast<int>(unit.y),
                      static_cast<int>(unit.drawX), static_cast<int>(unit.drawY), indexOf(index, unit.left),
                      indexOf(index, unit.right), indexOf(index, unit.above), indexOf(index, unit.below),
                      indexOf(index, unit.pendingAbove), indexOf(index, unit.pendingBelow));
        text += line;
    }
    return text;
}
