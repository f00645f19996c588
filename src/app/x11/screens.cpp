#include "app/x11/screens.h"

#include <X11/extensions/Xrandr.h>

#include "app/linux_common/event_loop.h"
#include "app/x11/shm_image.h"
#include "app/x11/x11_state.h"
#include "render/redraw.h"

//------------------------------------------------------------------------------
// The primary monitor's top-left corner in the surface's pixels, where the bricks
// are scattered from. Without RandR 1.5 (the first with monitors), or with no monitor
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
        if (monitors[i].primary) {
            corner = RootPoint{toLogical(monitors[i].x, x11.scale), toLogical(monitors[i].y, x11.scale)};
        }
    }
    XRRFreeMonitors(monitors);
    return corner;
}

//------------------------------------------------------------------------------
// The root window took a new size (a monitor came or went, a resolution changed):
// the overlay and its image take it, the surface the root's size / N, and the
// whole scene is drawn again. The World stays as it is, a held brick and our
// pointer grab included, so a drag goes on. A surface that cannot be made ends
// the program.
void followRootSize(XEvent& event) {
    XRRUpdateConfiguration(&event);  // Xlib's screen size, which the surface is made from
    const int width = event.xconfigure.width;
    const int height = event.xconfigure.height;
    if (width == x11.imagePixels.width && height == x11.imagePixels.height) return;
    destroySurfaceImage();
    if (!createSurfaceImage()) {
        endLoop(1);  // why has been reported
        return;
    }
    reserveShapeRects(x11.shapeRects, x11.picture.logical.width);
    XResizeWindow(x11.display, x11.window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    showWholeScene();
}
