#include "interaction/snap_search.h"

#include "world/brick_unit.h"
#include "world/world.h"

#include <cstdint>
#include <initializer_list>

BrickUnit* snapHeld = nullptr;
BrickUnit* snapTarget = nullptr;

namespace {

// Marks used while the held group is searched.
constexpr int32_t markFree = 0;
constexpr int32_t markHeld = 1;
constexpr int32_t markHeldVisited = 2;
constexpr int32_t markTargetGroup = 3;
constexpr int32_t markTargetPaired = 4;

// Top edges of a resting and a supporting unit are 19 to 32 pixels apart:
// the exact stacking distance of 18 does not count as lining up.
constexpr int32_t alignMinGap = 18;
constexpr int32_t alignMaxGap = 33;
constexpr float alignColumnTolerance = 7.5f;

// The preview sits a few pixels off the exact stacking place.
constexpr double previewOffset = 21.75;

bool columnsAlign(const BrickUnit& u, const BrickUnit& t) {
    const float heldX = static_cast<float>(u.x);
    const float targetX = static_cast<float>(t.x);
    return targetX - alignColumnTolerance < heldX && heldX < targetX + alignColumnTolerance;
}

// Whether the attach, which moves the held group so that snapHeld stacks exactly on
// or under snapTarget, leaves u exactly one stack away from t in t's column. Only
// such a pair can be linked: a held brick that lines up with units both over and
// under a gap two rows high would otherwise join units 36 pixels apart, and laying
// out the merged group would tear a brick of the target group in two.
bool stacksExactly(const BrickUnit& u, const BrickUnit& t) {
    const int64_t stack = snapHeld->y >= snapTarget->y ? unitPitchY : -unitPitchY;
    const int64_t landedX = static_cast<int64_t>(u.x) + snapTarget->x - snapHeld->x;
    const int64_t landedY = static_cast<int64_t>(u.y) + snapTarget->y - snapHeld->y + stack;
    return t.x == landedX && t.y == (t.y < u.y ? landedY - unitPitchY : landedY + unitPitchY);
}

}  // namespace

bool unitsOverlap(const BrickUnit& a, const BrickUnit& b) {
    const auto inside = [&b](int32_t cornerX, int32_t cornerY) {
        return b.x <= cornerX && cornerX <= b.x + unitPitchX && b.y <= cornerY && cornerY <= b.y + unitPitchY;
    };
    return inside(a.x, a.y) || inside(a.x + unitPitchX, a.y) || inside(a.x, a.y + unitPitchY) ||
           inside(a.x + unitPitchX, a.y + unitPitchY);
}

bool studsAlign(const BrickUnit& u, const BrickUnit& t) {
    // Differences in 64 bits: positions far off screen must not overflow.
    const int64_t restGap = static_cast<int64_t>(t.y) - u.y;
    if (u.below == nullptr && alignMinGap < restGap && restGap < alignMaxGap && columnsAlign(u, t)) {
        return true;
    }
    const int64_t hangGap = static_cast<int64_t>(u.y) - t.y;
    return u.above == nullptr && alignMinGap < hangGap && hangGap < alignMaxGap && columnsAlign(u, t);
}

bool groupOverlapsFree(BrickUnit& unit) {
    unit.mark = markHeldVisited;
    for (BrickUnit* other : World) {
        if (other->mark == markFree && unitsOverlap(unit, *other)) {
            return true;
        }
    }
    for (BrickUnit* next : {unit.left, unit.right, unit.above, unit.below}) {
        if (next != nullptr && next->mark == markHeld && groupOverlapsFree(*next)) {
            return true;
        }
    }
    return false;
}

BrickUnit* findSnapPartner(BrickUnit& unit) {
    unit.mark = markHeldVisited;
    for (BrickUnit* other : World) {
        if (other->mark == markFree && studsAlign(unit, *other)) {
            snapHeld = &unit;
            snapTarget = other;
            return other;
        }
    }
    for (BrickUnit* next : {unit.left, unit.right, unit.above, unit.below}) {
        if (next != nullptr && next->mark == markHeld) {
            if (BrickUnit* partner = findSnapPartner(*next)) {
                return partner;
            }
        }
    }
    return nullptr;
}

// A later fit on the same side replaces the earlier one; the replaced unit stays taken.
void collectPendingLinks(BrickUnit& unit) {
    unit.mark = markHeldVisited;
    unit.pendingAbove = nullptr;
    unit.pendingBelow = nullptr;
    for (BrickUnit* other : World) {
        if (other->mark == markTargetGroup && studsAlign(unit, *other) && stacksExactly(unit, *other)) {
            other->mark = markTargetPaired;
            if (other->y < unit.y) {
                unit.pendingAbove = other;
            } else {
                unit.pendingBelow = other;
            }
        }
    }
    for (BrickUnit* next : {unit.left, unit.right, unit.above, unit.below}) {
        if (next != nullptr && next->mark == markHeld) {
            collectPendingLinks(*next);
        }
    }
}

BrickUnit* snapSearch(BrickUnit& unit) {
    unit.setGroupMark(markHeld);
    BrickUnit* partner = findSnapPartner(unit);
    unit.setGroupMark(markHeld);
    if (partner == nullptr) {
        unit.setGroupMark(markFree);
        unit.clearPendingLinks();
        unit.setGroupMark(markFree);
        return nullptr;
    }
    partner->setGroupMark(markTargetGroup);
    collectPendingLinks(unit);
    partner->setGroupMark(markFree);
    unit.setGroupMark(markFree);

    const bool hangsUnder = snapHeld->y >= snapTarget->y;
    const double previewTop = static_cast<double>(snapTarget->y) + (hangsUnder ? previewOffset : -previewOffset);
    snapHeld->setGroupDrawPosition(snapTarget->x, static_cast<int32_t>(previewTop));
    snapHeld->setGroupMark(markFree);
    return partner;
}
