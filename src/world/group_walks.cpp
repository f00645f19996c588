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

// Places each unit one pitch from the unit through which the walk first reaches it.
void BrickUnit::setGroupPosition(int32_t newX, int32_t newY) {
    if (mark != 0) {
        return;
    }
    mark = 1;
    x = newX;
    y = newY;
    if (left != nullptr) left->setGroupPosition(newX - unitPitchX, newY);
    if (right != nullptr) right->setGroupPosition(newX + unitPitchX, newY);
    if (above != nullptr) above->setGroupPosition(newX, newY - unitPitchY);
    if (below != nullptr) below->setGroupPosition(newX, newY + unitPitchY);
}

void BrickUnit::setGroupDrawPosition(int32_t newX, int32_t newY) {
    if (mark != 0) {
        return;
    }
    mark = 1;
    drawX = newX;
    drawY = newY;
    if (left != nullptr) left->setGroupDrawPosition(newX - unitPitchX, newY);
    if (right != nullptr) right->setGroupDrawPosition(newX + unitPitchX, newY);
    if (above != nullptr) above->setGroupDrawPosition(newX, newY - unitPitchY);
    if (below != nullptr) below->setGroupDrawPosition(newX, newY + unitPitchY);
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
