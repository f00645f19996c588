#include "app/linux_common/desktop.h"
#include "host/host.h"

const Desktop* activeDesktop = nullptr;

//------------------------------------------------------------------------------
// Before a desktop is up there is nothing to draw into: an empty surface.
SurfacePixels& hostSurface() {
    static SurfacePixels none;
    return activeDesktop != nullptr ? activeDesktop->surface() : none;
}

//------------------------------------------------------------------------------
void hostPresentSurface(const DirtyRegion& changed) {
    if (activeDesktop != nullptr && changed.count > 0) {
        activeDesktop->present(changed);
    }
}
