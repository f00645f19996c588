#include "app/x11/xwayland_shapes.h"

#include <X11/Xlib.h>

namespace {

// XWayland announces itself with an extension of its own name, and numbers its
// releases as 10000000 x major + 100000 x minor + 1000 x patch (24.1.6 is 12401006,
// counted from 12 for the X server it grew out of). 24.1 hands an X11 window's
// input shape on to the compositor as the input region of the window's surface;
// 22.1 does not, and there the overlay would swallow every click beside the bricks.
constexpr int firstReleaseCarryingInputShapes = 12401000;

}  // namespace

//------------------------------------------------------------------------------
XWaylandShapes askXWaylandAboutShapes() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return XWaylandShapes{false, false, 0};
    }
    int opcode = 0, event = 0, error = 0;
    const XWaylandShapes answer{true, XQueryExtension(display, "XWAYLAND", &opcode, &event, &error) != 0,
                                VendorRelease(display)};
    XCloseDisplay(display);
    return answer;
}

//------------------------------------------------------------------------------
bool XWaylandShapes::carried() const {
    return reachable && xwayland && release >= firstReleaseCarryingInputShapes;
}
