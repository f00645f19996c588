#include <X11/extensions/Xrandr.h>

#include "app/x11/x11_overlay.h"

//------------------------------------------------------------------------------
// The primary monitor's top-left corner in root coordinates, where the bricks are
// scattered from. Without RandR 1.5 (the first with monitors), or with no monitor
// marked primary, the root's own corner.
RootPoint primaryMonitorCorner() {
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(x11.display, &eventBase, &errorBase) || !XRRQueryVersion(x11.display, &major, &minor) ||
        major < 1 || (major == 1 && minor < 5)) {
        return RootPoint{0, 0};
    }
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(x11.display, x11.root, True, &count);
    RootPoint corner{0, 0};
    for (int i = 0; i < count; ++i) {
        if (monitors[i].primary) corner = RootPoint{monitors[i].x, monitors[i].y};
    }
    XRRFreeMonitors(monitors);
    return corner;
}
