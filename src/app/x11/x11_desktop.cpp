// Zimblet on X11, in plain Xlib: the Linux program's desktop on an X11 session, and
// on GNOME through XWayland. One override-redirect window covers the root window of
// the default screen, every monitor of it; its bounding shape is the bricks' pixels
// and its input shape is where a brick can be grabbed, so the X server, not the
// program, decides who sees an event. A press on a brick reaches the overlay and
// starts a pointer grab that lasts until the drag is over and no button is down:
// the core's Swallow. Everything else happens outside the input shape and goes
// straight to the window beneath, unseen: Deliver and Chain. The picture is an
// image over MIT-SHM of which only the dirty rectangles are put, the shapes changed
// only in their bands. The run is the program's one loop, ended by Escape, SIGINT,
// SIGTERM or another start; the primary monitor is asked once, at the start.
//
// What X11 cannot do as Windows does:
//  - A wheel turn, a middle or extra button over a brick reaches the overlay and is
//    dropped; on Windows it reaches the window beneath the brick.
//  - During a drag the pointer is ours: a press of the other button and its release,
//    the moves, and the release after an attach made during a move never reach the
//    window beneath; Windows delivers them there.

#include "app/x11/x11_desktop.h"

#include <poll.h>

#include "app/linux_common/event_loop.h"
#include "app/x11/escape_key.h"
#include "app/x11/overlay_window.h"
#include "app/x11/pointer_input.h"
#include "app/x11/screens.h"
#include "app/x11/x11_overlay.h"
#include "app/x11/x11_state.h"
#include "render/redraw.h"
#include "world/world.h"

namespace {

void handleEvent(XEvent& event) {
    switch (event.type) {
    case ButtonPress:
    case ButtonRelease:
    case MotionNotify:
        handlePointerEvent(event);
        break;
    case ConfigureNotify:
        if (event.xconfigure.window == x11.root) {
            followRootSize(event);
        } else {
            raiseAboveOthers(event);
        }
        break;
    case MapNotify:
    case CirculateNotify:
        raiseAboveOthers(event);
        break;
    default:
        if (isEndingEscape(event)) endLoop(0);
        break;
    }
}

// Before the loop sleeps: every event Xlib has or can read at once, until one ends
// the loop; then what the handling sent goes out.
short handleQueuedEvents() {
    while (loopRunning() && XPending(x11.display) > 0) {
        XEvent event;
        XNextEvent(x11.display, &event);
        handleEvent(event);
    }
    XFlush(x11.display);
    return POLLIN;
}

// What woke the loop is read by the next handleQueuedEvents, through XPending.
void readNothing(short) {}

}  // namespace

//------------------------------------------------------------------------------
// The window before the world, so the first picture has a surface to go to; the
// bricks are scattered from the primary monitor's corner; the shapes come with the
// first picture, before the window is mapped.
DesktopOutcome runX11Desktop() {
    if (!catchEndingSignals()) {
        return DesktopOutcome{};
    }
    if (!openOverlay()) {
        return DesktopOutcome{};
    }
    createWorld();
    const RootPoint corner = primaryMonitorCorner();
    shiftWorld(corner.x, corner.y);
    showWholeScene();
    watchEscapeKey();
    mapOverlayWindow();
    const int status = runLoop(DisplayConnection{ConnectionNumber(x11.display), handleQueuedEvents, readNothing});

    closeOverlay();
    return DesktopOutcome{DesktopOutcome::Ended, status};
}
