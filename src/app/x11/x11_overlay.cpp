#include "app/x11/x11_overlay.h"

#include <X11/extensions/shape.h>

#include "app/linux_common/desktop.h"
#include "app/linux_common/report.h"
#include "app/x11/overlay_window.h"
#include "app/x11/shm_image.h"
#include "app/x11/x11_errors.h"
#include "app/x11/x11_present.h"
#include "app/x11/x11_state.h"
#include "app/x11/xft_scale.h"

namespace {

SurfacePixels& x11Surface() {
    return x11.picture.logical;
}

const Desktop x11Desktop{x11Surface, presentDirtyRegion};

bool openDisplay() {
    x11.display = openTolerantDisplay();
    if (x11.display == nullptr) {
        report("cannot open the display '%s'", XDisplayName(nullptr));
        return false;
    }
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XShapeQueryExtension(x11.display, &eventBase, &errorBase) ||
        !XShapeQueryVersion(x11.display, &major, &minor) || (major == 1 && minor < 1)) {
        report("the display has no SHAPE extension (1.1 or later); without it the bricks cannot let clicks through");
        return false;
    }
    x11.scale = scaleFromResources(XResourceManagerString(x11.display));
    x11.screen = DefaultScreen(x11.display);
    x11.root = RootWindow(x11.display, x11.screen);
    return true;
}

void closeDisplay() {
    if (x11.pointerGrabbed) XUngrabPointer(x11.display, CurrentTime);
    destroySurfaceImage();
    if (x11.window != 0) XDestroyWindow(x11.display, x11.window);
    XCloseDisplay(x11.display);
    x11.display = nullptr;
}

}  // namespace

//------------------------------------------------------------------------------
bool openOverlay() {
    if (!openDisplay()) {
        if (x11.display != nullptr) XCloseDisplay(x11.display);
        x11.display = nullptr;
        return false;
    }
    chooseVisual();
    createOverlayWindow();
    if (!createSurfaceImage()) {
        closeDisplay();
        return false;
    }
    reserveShapeRects(x11.shapeRects, x11.picture.logical.width);
    activeDesktop = &x11Desktop;
    return true;
}

//------------------------------------------------------------------------------
void closeOverlay() {
    activeDesktop = nullptr;
    closeDisplay();
}
