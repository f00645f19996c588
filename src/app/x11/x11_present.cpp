#include "app/x11/x11_present.h"

#include "app/x11/shm_image.h"
#include "app/x11/window_shape.h"
#include "app/x11/x11_state.h"

//------------------------------------------------------------------------------
// Shapes first, so that pixels put next land inside the bounding shape; then the
// dirty rectangles' pixels (as blocks of the screen's scale), and nothing else.
void presentDirtyRegion(const DirtyRegion& changed) {
    for (int32_t i = 0; i < changed.count; ++i) {
        reshapeBand(changed.rects[i]);
    }
    for (int32_t i = 0; i < changed.count; ++i) {
        bringToImage(changed.rects[i]);
        putSurfaceRect(changed.rects[i]);
    }
    XFlush(x11.display);
}
