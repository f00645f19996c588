#include "host/host.h"
#include "app/win32/overlay_window.h"
#include "app/win32/shell.h"
#include "app/win32/win32_api.h"

//------------------------------------------------------------------------------
// The scene's picture: the DIB section itself at scale 1. Without a surface (its
// device context could not be made) it is empty, so nothing writes into it.
SurfacePixels& hostSurface() {
    return overlayWindow.scene.logical;
}

//------------------------------------------------------------------------------
// Once start-up has failed and told the user why, the program only winds down:
// presenting a surface that was never made would add a second, misleading box.
// The first picture, and any change that covers the whole scene, is a full update;
// a drag step brings over only the rectangle around what changed. Above scale 1 the
// changed logical rectangles are first brought to the DIB section as blocks.
void hostPresentSurface(const DirtyRegion& changed) {
    if (!running || changed.count == 0) {
        return;
    }
    const SurfacePixels& scene = hostSurface();
    const DrawingSurface& surface = overlayWindow.surface;
    const int32_t per120 = overlayWindow.scene.per120;
    SurfacePixels device{surface.width, surface.height, surface.stride, surface.pixels};
    for (int32_t i = 0; i < changed.count; ++i) {
        bringToDevice(overlayWindow.scene, changed.rects[i], device, per120);
    }
    const PixelRect bounds = changed.bounds();
    if (bounds == PixelRect{0, 0, scene.width, scene.height}) {
        presentSurface(overlayWindow);
        return;
    }
    const PixelRect shown = toDevice(bounds, per120);
    const RECT dirty{shown.left, shown.top, shown.right, shown.bottom};
    presentSurface(overlayWindow, &dirty);
}

//------------------------------------------------------------------------------
void hostPlaySound(const char* relativePath) {
    win32.PlaySoundA(relativePath, nullptr, SND_FILENAME | SND_ASYNC);
}
