// Zimblet on X11: the program around the portable core, in plain Xlib.
//
// Implemented:
//  [x] An override-redirect window over the whole root window, every monitor of
//      the screen, so bricks travel freely between monitors; on a 32-bit ARGB
//      visual when the screen has one (own colormap, border pixel 0), else on the
//      default visual. Never managed, so no frame, no taskbar entry, no focus.
//  [x] Its bounding shape is exactly the surface's pixels with alpha > 0 (right
//      without a compositor); its input shape is exactly where the hit test finds a
//      unit, so presses anywhere else go to the window beneath. Both are set before
//      the window is mapped and changed only inside each dirty rectangle.
//  [x] Kept above other windows: the root's substructure is watched and the window
//      raised again whenever another one is stacked over it.
//  [x] The surface is an XImage over MIT-SHM (XShmPutImage of the dirty rectangles
//      only), or over our own memory with XPutImage when MIT-SHM is missing or the
//      display is remote.
//  [x] The bricks start on the primary monitor (RandR 1.5 monitors; without one
//      marked primary, at the root's corner).
//  [x] The root window is watched for a new size (a monitor added or removed, a
//      new resolution): the window and its surface take it and the whole scene is
//      drawn again, the bricks where they were, a drag going on.
//  [x] A scaled screen (Xft.dpi of the root's resources a whole multiple of 96,
//      read at start): the core draws in logical pixels into a surface of the
//      root's size / N, each present brings its dirty rectangles to the image as
//      N x N blocks and puts only those; both shapes are scaled with the picture
//      and root positions are divided back (rounded down) before the core sees them.
//  [x] Escape ends the program from anywhere: a passive grab on the root for every
//      modifier combination without Alt (combinations held by another client are
//      skipped), and XInput2 raw key events where a grab was refused. Alt+Escape
//      does not end it. SIGINT and SIGTERM end it cleanly, and so does another
//      start of the program or `zimblet --quit`; a lost display ends it.
//
// How the core's three answers for a mouse event map onto X11. The X server, not
// the program, decides who sees an event, by the input shape and the grabs:
//  - Swallow: the event reaches the overlay because it happened inside the input
//    shape (a press on a unit) or during our pointer grab (from the grabbing press
//    to the release that ends the drag), and goes no further.
//  - Deliver and Chain: outside a drag the event happens outside the input shape
//    and goes straight to the window beneath; the overlay never sees it.
// What X11 cannot reproduce, and what happens instead:
//  - A wheel turn, middle or extra button over a brick reaches the overlay and is
//    dropped (on Windows it passes through to the window beneath the brick).
//  - During a drag the pointer is ours: a press of the other button, which Windows
//    would deliver beneath, is dropped, and so is its release, so the window beneath
//    never sees half a click. The grab ends once the drag has ended and no button
//    is down. Pointer moves during a drag do not reach the windows beneath.
//  - A release after an attach that happened during a move (Windows delivers it)
//    is dropped too: the window beneath never saw its press.
// Limits: one X screen (the default one), however many monitors it spans; the
// primary monitor is asked once, at start-up; bricks left outside a root that
// shrank stay there; one thread; the display connection is the only input besides
// the signals.
// Links: libX11, libXext (SHAPE, MIT-SHM), libXi (XInput2), libXrandr (monitors,
// the root's new size); libcanberra for sound.

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
