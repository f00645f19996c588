#include "event_stream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "interaction/drag_state.h"
#include "interaction/mouse_event.h"
#include "render/redraw.h"
#include "render/scene.h"
#include "world/world.h"

using enum MouseMessage;

std::set<BrickUnit*> groupOf(BrickUnit* start) {
    std::set<BrickUnit*> group;
    std::vector<BrickUnit*> pending{start};
    while (!pending.empty()) {
        BrickUnit* unit = pending.back();
        pending.pop_back();
        if (unit != nullptr && group.insert(unit).second) {
            pending.insert(pending.end(), {unit->left, unit->right, unit->above, unit->below});
        }
    }
    return group;
}

EventStream::EventStream(unsigned seed, int width, int height) : random_(seed) {
    resetMemoryHost(width, height);
    std::srand(1);
    createWorld();
    world_.adoptCreatedWorld();
    for (BrickUnit* unit : World) bricks_.emplace_back(unit->colour, unit->left, unit->right);
    showWholeScene();
    reference_.resize(memoryHost().memory.size());
}

int EventStream::pick(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random_);
}

std::string EventStream::step() {
    const int choice = pick(0, 99);
    const DragState before = dragState;
    if (before == DragState::Snapped && choice < 20) {
        for (BrickUnit* unit : groupOf(grabbedUnit)) previewed_.insert(unit);
    }
    MouseMessage message = Move;
    int32_t x = x_, y = y_;
    if (choice < 20) {
        message = choice < 10 ? LeftDown : RightDown;
        const BrickUnit* unit = World[static_cast<std::size_t>(pick(0, static_cast<int>(World.size()) - 1))];
        x = pick(0, 3) == 0 ? pick(-60, 1100) : unit->x + pick(0, 15);
        y = pick(0, 3) == 0 ? pick(-60, 850) : unit->y + pick(0, 18);
    } else if (choice < 32) {
        message = choice < 26 ? LeftUp : choice < 30 ? RightUp : Other;
    } else if (choice < 40 || steps_ == 0) {
        const bool far = pick(0, 9) == 0;  // as far as injected input and huge desktops reach
        x = far ? pick(-1000000, 1000000) : pick(-50, 1100);
        y = far ? pick(-1000000, 1000000) : pick(-50, 850);
        if (choice >= 40) {  // then head in slow steps for a place that lines up with a unit
            const BrickUnit* target = World[static_cast<std::size_t>(pick(0, static_cast<int>(World.size()) - 1))];
            goalX_ = target->x + pick(-9, 9);
            goalY_ = target->y + (pick(0, 1) == 0 ? -1 : 1) * pick(14, 36);
            x = goalX_ + pick(-20, 20);
            y = goalY_ + pick(-20, 20);
            steps_ = pick(3, 12);
        }
    } else {
        --steps_;
        x += std::clamp(goalX_ - x, -4, 4) + pick(-2, 2);
        y += std::clamp(goalY_ - y, -4, 4) + pick(-2, 2);
    }
    x_ = x;
    y_ = y;
    handleMouseEvent(message, x, y);
    const bool relaid = (message == Move && before != DragState::Idle) ||
                        ((message == LeftUp || message == RightUp) && before == DragState::Snapped);
    if (relaid) {
        for (BrickUnit* unit : groupOf(grabbedUnit)) previewed_.erase(unit);
    }
    return std::to_string(static_cast<int>(message)) + " at " + std::to_string(x) + ", " + std::to_string(y);
}

namespace {

// Whether the neighbour stands one pitch away in both the logical and the drawn layout.
bool onLattice(const BrickUnit& unit, const BrickUnit* neighbour, int32_t dx, int32_t dy) {
    return neighbour == nullptr ||
           (neighbour->x == unit.x + dx && neighbour->y == unit.y + dy && neighbour->drawX == unit.drawX + dx &&
            neighbour->drawY == unit.drawY + dy);
}

}  // namespace

std::string EventStream::brokenInvariant() const {
    if (dragState != DragState::Idle && grabbedUnit == nullptr) return "a drag without a grabbed unit";
    const auto held = dragState == DragState::Snapped ? groupOf(grabbedUnit) : std::set<BrickUnit*>{};
    for (std::size_t i = 0; i < World.size(); ++i) {
        const BrickUnit& unit = *World[i];
        const std::string which = "unit " + std::to_string(i) + ": ";
        if (unit.mark != 0) return which + "mark " + std::to_string(unit.mark) + " at rest";
        if (std::make_tuple(unit.colour, unit.left, unit.right) != bricks_[i]) return which + "its brick changed";
        if (unit.above != nullptr && unit.above->below != &unit) return which + "above does not link back";
        if (unit.below != nullptr && unit.below->above != &unit) return which + "below does not link back";
        if (!onLattice(unit, unit.right, unitPitchX, 0) || !onLattice(unit, unit.below, 0, unitPitchY)) {
            return which + "off its group's lattice";
        }
        const bool previewed = held.count(World[i]) != 0 || previewed_.count(World[i]) != 0;
        if (!previewed && (unit.drawX != unit.x || unit.drawY != unit.y)) return which + "drawn away from its place";
    }
    return {};
}

std::string EventStream::pictureMismatch() {
    SurfacePixels reference = memoryHost().surface;
    reference.pixels = reference_.data();
    renderScene(reference);
    const auto& drawn = memoryHost().memory;
    if (std::memcmp(drawn.data(), reference_.data(), drawn.size()) == 0) return {};
    const auto first = std::mismatch(drawn.begin(), drawn.end(), reference_.begin());
    const auto offset = static_cast<int32_t>(first.first - drawn.begin());
    return "the surface differs from a full redraw at pixel (" + std::to_string(offset % reference.stride / 4) + ", " +
           std::to_string(offset / reference.stride) + ")";
}
