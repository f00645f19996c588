#include "interaction/attach_detach.h"

#include <utility>

#include "interaction/snap_search.h"
#include "sound/sounds.h"
#include "world/brick_unit.h"

namespace {

constexpr int32_t markBrick = 1;
// Each exploration of one detach test gets a fresh stamp above the brick's mark.
constexpr int32_t firstStampBase = 2;

// Visits the units of the clicked unit's brick: those to its left from the nearest
// outwards, then the unit itself and those to its right from the nearest outwards.
template <typename Visit>
bool forEachBrickUnit(BrickUnit& unit, Visit visit) {
    for (BrickUnit* left = unit.left; left != nullptr; left = left->left) {
        if (!visit(*left)) return false;
    }
    for (BrickUnit* right = &unit; right != nullptr; right = right->right) {
        if (!visit(*right)) return false;
    }
    return true;
}

void markBrickUnits(BrickUnit& unit) {
    forEachBrickUnit(unit, [](BrickUnit& member) {
        member.mark = markBrick;
        return true;
    });
}

// Runs one exploration per unit of the brick that has a neighbour on the given side.
template <typename Neighbour, typename Explore>
bool canDetach(BrickUnit& unit, Neighbour neighbour, Explore explore) {
    markBrickUnits(unit);
    bool found = false;
    int32_t stamp = firstStampBase;
    const bool separable = forEachBrickUnit(unit, [&](BrickUnit& member) {
        BrickUnit* other = neighbour(member);
        if (other == nullptr) return true;
        ++stamp;
        found = true;
        return explore(*other, stamp);
    });
    unit.setGroupMark(0);
    return separable && found;
}

// One step of an exploration: false means the path leads back into the brick.
enum class Step { Fail, Succeed, Continue };

Step exploreToward(BrickUnit* next, int32_t stamp, bool brickMeansFailure, bool (*explore)(BrickUnit&, int32_t)) {
    if (next == nullptr) return Step::Continue;
    if (next->mark == markBrick) return brickMeansFailure ? Step::Fail : Step::Succeed;
    if (next->mark != stamp && !explore(*next, stamp)) return Step::Fail;
    return Step::Continue;
}

// Shared shape of both explorations: the far side first (reaching the brick there
// fails), then left, right and the near side (reaching the brick there ends it well).
bool explore(BrickUnit& unit, int32_t stamp, BrickUnit* farSide, BrickUnit* nearSide,
             bool (*self)(BrickUnit&, int32_t)) {
    unit.mark = stamp;
    for (auto [next, brickMeansFailure] : {std::pair{farSide, true}, std::pair{unit.left, false},
                                           std::pair{unit.right, false}, std::pair{nearSide, false}}) {
        switch (exploreToward(next, stamp, brickMeansFailure, self)) {
            case Step::Fail: return false;
            case Step::Succeed: return true;
            case Step::Continue: break;
        }
    }
    return true;
}

}  // namespace

bool exploreBelow(BrickUnit& unit, int32_t stamp) {
    return explore(unit, stamp, unit.below, unit.above, exploreBelow);
}

bool exploreAbove(BrickUnit& unit, int32_t stamp) {
    return explore(unit, stamp, unit.above, unit.below, exploreAbove);
}

bool canDetachFromBelow(BrickUnit& unit) {
    return canDetach(unit, [](BrickUnit& member) { return member.below; }, exploreBelow);
}

bool canDetachFromAbove(BrickUnit& unit) {
    return canDetach(unit, [](BrickUnit& member) { return member.above; }, exploreAbove);
}

namespace {

// Cuts every link of the brick's units in one direction (`toward`), on both ends.
void detach(BrickUnit& unit, BrickUnit* BrickUnit::*toward, BrickUnit* BrickUnit::*back) {
    forEachBrickUnit(unit, [toward, back](BrickUnit& member) {
        if (member.*toward != nullptr) {
            (member.*toward)->*back = nullptr;
            member.*toward = nullptr;
        }
        return true;
    });
    playDetachSound();
}

}  // namespace

void detachFromBelow(BrickUnit& unit) {
    detach(unit, &BrickUnit::below, &BrickUnit::above);
}

void detachFromAbove(BrickUnit& unit) {
    detach(unit, &BrickUnit::above, &BrickUnit::below);
}

// The merged group takes its place from the target unit, which does not move.
void attachGroup(BrickUnit& unit) {
    unit.commitPendingLinks();
    unit.setGroupMark(0);
    snapTarget->setGroupDrawPosition(snapTarget->x, snapTarget->y);
    unit.setGroupMark(0);
    snapTarget->setGroupPosition(snapTarget->x, snapTarget->y);
    unit.setGroupMark(0);
    unit.clearPendingLinks();
    unit.setGroupMark(0);
    playAttachSound();
}
