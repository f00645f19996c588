#include "app/linux/desktop.h"
#include "host/host.h"

const Desktop* activeDesktop = nullptr;

//------------------------------------------------------------------------------
// Before a desktop has started there is nothing to draw into.
SurfacePixels& hostSurface() {
    static SurfacePixels none;
    return activeDesktop != nullptr ? activeDesktop->surface() : none;
}

//------------------------------------------------------------------------------
void hostPresentSurface(const DirtyRegion& changed) {
    if (activeDesktop != nullptr) {
        activeDesktop->present(changed);
    }
}
