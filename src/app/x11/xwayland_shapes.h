#pragma once

// What the X11 display named by DISPLAY says of itself, asked in a Wayland session
// whose compositor offers no layer-shell: whether the X11 overlay would let clicks
// through there.
struct XWaylandShapes {
    bool reachable;  // the display could be opened
    bool xwayland;   // it is XWayland
    int release;     // its vendor release number
    // XWayland carries the overlay's input shape over to the compositor.
    bool carried() const;
};
XWaylandShapes askXWaylandAboutShapes();
