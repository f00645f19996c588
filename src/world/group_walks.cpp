#include "world/brick_unit.h"

#include <initializer_list>

// Every walk visits neighbours in the same order: left, right, above, below.

// Only units whose mark differs from the value are entered, so a unit that
// already holds it ends the walk along that path.
void BrickUnit::setGroupMark(int32_t value) {
    if (mark == value) {
        return;
    }
    mark = value;
    for (BrickUnit* next : {left, right, above, below}) {
        if (next != nullptr && next->mark != value) {
            next->setGroupMark(value);
        }
    }
}

namespace {

// Places each unit one pitch from the unit through which the walk first reaches it;
// the logical and the drawn position are laid out by the same walk.
template <int32_t BrickUnit::*X, int32_t BrickUnit::*Y>
void layOutGroup(BrickUnit& unit, int32_t newX, int32_t newY) {
    if (unit.mark != 0) {
        return;
    }
    unit.mark = 1;
    unit.*X = newX;
    unit.*Y = newY;
    if (unit.left != nullptr) layOutGroup<X, Y>(*unit.left, newX - unitPitchX, newY);
    if (unit.right != nullptr) layOutGroup<X, Y>(*unit.right, newX + unitPitchX, newY);
    if (unit.above != nullptr) layOutGroup<X, Y>(*unit.above, newX, newY - unitPitchY);
    if (unit.below != nullptr) layOutGroup<X, Y>(*unit.below, newX, newY + unitPitchY);
}

}  // namespace

void BrickUnit::setGroupPosition(int32_t newX, int32_t newY) {
    layOutGroup<&BrickUnit::x, &BrickUnit::y>(*this, newX, newY);
}

void BrickUnit::setGroupDrawPosition(int32_t newX, int32_t newY) {
    layOutGroup<&BrickUnit::drawX, &BrickUnit::drawY>(*this, newX, newY);
}

// Links are made only after the neighbours' walks return, so the walk follows the
// links as they stood before and never enters the group being joined.
void BrickUnit::commitPendingLinks() {
    mark = 1;
    for (BrickUnit* next : {left, right, above, below}) {
        if (next != nullptr && next->mark == 0) {
            next->commitPendingLinks();
        }
    }
    if (pendingAbove != nullptr) {
        above = pendingAbove;
        pendingAbove->below = this;
        pendingAbove = nullptr;
    }
    if (pendingBelow != nullptr) {
        below = pendingBelow;
        pendingBelow->above = this;
        pendingBelow = nullptr;
    }
}

void BrickUnit::clearPendingLinks() {
    mark = 1;
    pendingAbove = nullptr;
    pendingBelow = nullptr;
    for (BrickUnit* next : {left, right, above, below}) {
        if (next != nullptr && next->mark == 0) {
            next->clearPendingLinks();
        }
    }
}
