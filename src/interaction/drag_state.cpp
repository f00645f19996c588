#include "interaction/drag_state.h"

#include <cstdlib>

#include "interaction/attach_detach.h"
#include "interaction/snap_search.h"
#include "world/brick_unit.h"

DragState dragState = DragState::Idle;
BrickUnit* grabbedUnit = nullptr;
int32_t lastDragX = 0;
int32_t lastDragY = 0;
bool swallowRightUp = false;

namespace {

// A move of more than this many pixels since the previous drag step is fast.
constexpr int64_t slowMoveLimit = 8;

// Held group marked 1 while it is tested against every other unit.
bool heldGroupOverlaps() {
    grabbedUnit->setGroupMark(1);
    const bool overlaps = groupOverlapsFree(*grabbedUnit);
    grabbedUnit->setGroupMark(0);
    return overlaps;
}

void drawnPositionFollows(int32_t x, int32_t y) {
    grabbedUnit->setGroupDrawPosition(x, y);
    grabbedUnit->setGroupMark(0);
}

void attachAndRelease() {
    attachGroup(*grabbedUnit);
    dragState = DragState::Idle;
}

}  // namespace

void resetInteraction() {
    dragState = DragState::Idle;
    grabbedUnit = nullptr;
    lastDragX = 0;
    lastDragY = 0;
    swallowRightUp = false;
    snapHeld = nullptr;
    snapTarget = nullptr;
}

// The travel is compared as d^2 > 64, which for whole pixels is the same as a
// single-precision square root above 8.0; 64-bit differences keep pointer
// positions anywhere in 32 bits from overflowing.
bool isFastMove(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY) {
    const int64_t dx = static_cast<int64_t>(toX) - fromX;
    const int64_t dy = static_cast<int64_t>(toY) - fromY;
    if (std::llabs(dx) > slowMoveLimit || std::llabs(dy) > slowMoveLimit) {
        return true;
    }
    return dx * dx + dy * dy > slowMoveLimit * slowMoveLimit;
}

void updateDrag(int32_t x, int32_t y) {
    grabbedUnit->setGroupPosition(x, y);
    grabbedUnit->setGroupMark(0);

    const bool fast = isFastMove(lastDragX, lastDragY, x, y);
    lastDragX = x;
    lastDragY = y;

    if (fast) {
        // Holding runs no overlap check on a fast move; a snapped group in contact attaches.
        if (dragState == DragState::Snapped && heldGroupOverlaps()) {
            attachAndRelease();
            return;
        }
        dragState = DragState::Holding;
        drawnPositionFollows(x, y);
        return;
    }

    if (heldGroupOverlaps()) {
        if (dragState == DragState::Snapped) {
            attachAndRelease();
        } else {
            drawnPositionFollows(x, y);
        }
        return;
    }
    if (snapSearch(*grabbedUnit) != nullptr) {
        dragState = DragState::Snapped;
        return;
    }
    dragState = DragState::Holding;
    drawnPositionFollows(x, y);
}

bool dragHolds() {
    return dragState != DragState::Idle;
}
