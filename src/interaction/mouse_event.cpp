#include "interaction/mouse_event.h"

#include <algorithm>

#include "interaction/attach_detach.h"
#include "interaction/drag_state.h"
#include "render/redraw.h"
#include "world/brick_unit.h"
#include "world/world.h"

namespace {

// A held group spreads at most a few thousand pixels from the pointer, so positions
// kept this far inside 32 bits leave every unit coordinate representable.
constexpr int32_t pointerLimit = INT32_MAX - 0xFFFF;

bool isHolding() {
    return dragState == DragState::Holding;
}

// Cuts the pressed brick loose from what it rests on, or else from what rests on it.
void pullLoose(BrickUnit& unit) {
    if (canDetachFromBelow(unit)) {
        detachFromBelow(unit);
    } else if (canDetachFromAbove(unit)) {
        detachFromAbove(unit);
    }
}

// A press grabs the unit under the pointer unless a drag is already under way;
// a press during the other button's drag goes to the application underneath.
HookAnswer press(bool rightButton, int32_t x, int32_t y) {
    if (isHolding()) {
        return HookAnswer::Deliver;
    }
    BrickUnit* unit = unitAtPoint(x, y);
    if (unit == nullptr) {
        return HookAnswer::Deliver;
    }
    if (rightButton) {
        pullLoose(*unit);
        swallowRightUp = true;
    }
    grabbedUnit = unit;
    dragState = DragState::Holding;
    return HookAnswer::Swallow;
}

// Either button's release ends a drag; a snapped group attaches where it is previewed.
HookAnswer release() {
    if (dragState == DragState::Idle) {
        return HookAnswer::Deliver;
    }
    if (dragState == DragState::Snapped) {
        attachGroup(*grabbedUnit);
        grabbedUnit->setGroupMark(0);
    }
    dragState = DragState::Idle;
    redrawScene();
    return HookAnswer::Swallow;
}

HookAnswer rightRelease() {
    if (dragState == DragState::Idle) {
        const bool swallow = swallowRightUp;
        swallowRightUp = false;
        return swallow ? HookAnswer::Swallow : HookAnswer::Deliver;
    }
    swallowRightUp = false;
    return release();
}

HookAnswer move(int32_t x, int32_t y) {
    if (dragState == DragState::Idle) {
        return HookAnswer::Chain;
    }
    updateDrag(x, y);
    redrawScene();
    return HookAnswer::Deliver;
}

}  // namespace

HookAnswer handleMouseEvent(MouseMessage message, int32_t x, int32_t y) {
    x = std::clamp(x, -pointerLimit, pointerLimit);
    y = std::clamp(y, -pointerLimit, pointerLimit);
    switch (message) {
        case MouseMessage::LeftDown: return press(false, x, y);
        case MouseMessage::LeftUp: return release();
        case MouseMessage::RightDown: return press(true, x, y);
        case MouseMessage::RightUp: return rightRelease();
        case MouseMessage::Move: return move(x, y);
        case MouseMessage::Other: return HookAnswer::Chain;
    }
    return HookAnswer::Chain;
}
