#include "app/x11/pointer_input.h"

#include "app/x11/x11_state.h"
#include "interaction/drag_state.h"
#include "interaction/mouse_event.h"

namespace {

constexpr unsigned allButtonsMask = Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask;

MouseMessage messageFor(const XEvent& event) {
    if (event.type == MotionNotify) return MouseMessage::Move;
    const bool press = event.type == ButtonPress;
    switch (event.xbutton.button) {
    case Button1:
        return press ? MouseMessage::LeftDown : MouseMessage::LeftUp;
    case Button3:
        return press ? MouseMessage::RightDown : MouseMessage::RightUp;
    default:
        return MouseMessage::Other;  // middle, wheel and extra buttons
    }
}

// The buttons still down after this event: its state is from before it.
unsigned buttonsDownAfter(const XEvent& event) {
    const unsigned before = event.type == MotionNotify ? event.xmotion.state : event.xbutton.state;
    if (event.type == ButtonPress) return (before & allButtonsMask) | (Button1Mask << (event.xbutton.button - 1));
    if (event.type == ButtonRelease && event.xbutton.button >= Button1 && event.xbutton.button <= Button5) {
        return before & allButtonsMask & ~(Button1Mask << (event.xbutton.button - 1));
    }
    return before & allButtonsMask;
}

void grabPointer(Time time) {
    const unsigned mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
    x11.pointerGrabbed = XGrabPointer(x11.display, x11.window, False, mask, GrabModeAsync, GrabModeAsync, None, None,
                                      time) == GrabSuccess;
}

}  // namespace

//------------------------------------------------------------------------------
// Hands a button or motion event to the drag state machine, its root position
// brought to the surface's pixels (rounded down at a scale of N). A press the
// core swallows starts our pointer grab; the grab ends when no drag is left and
// no button is down.
void handlePointerEvent(const XEvent& event) {
    const bool motion = event.type == MotionNotify;
    const int x = toLogical(motion ? event.xmotion.x_root : event.xbutton.x_root, x11.scale);
    const int y = toLogical(motion ? event.xmotion.y_root : event.xbutton.y_root, x11.scale);
    const HookAnswer answer = handleMouseEvent(messageFor(event), x, y);

    if (event.type == ButtonPress && answer == HookAnswer::Swallow && !x11.pointerGrabbed) {
        grabPointer(event.xbutton.time);
    } else if (x11.pointerGrabbed && event.type == ButtonRelease && !dragHolds() &&
               buttonsDownAfter(event) == 0) {
        XUngrabPointer(x11.display, event.xbutton.time);
        x11.pointerGrabbed = false;
    }
}
