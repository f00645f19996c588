#include "host/host.h"
#include "app/win32/overlay_window.h"
#include "app/win32/shell.h"
#include "app/win32/win32_api.h"

//------------------------------------------------------------------------------
// A view of the DIB section. A surface without pixel memory (its device context
// could not be made) is shown to the drawing as empty, so nothing writes into it.
SurfacePixels& hostSurface() {
    static SurfacePixels view;
    const DrawingSurface& surface = overlayWindow.surface;
    if (surface.pixels == nullptr) {
        view = SurfacePixels{};
    } else {
        view = SurfacePixels{surface.width, surface.height, surface.stride, surface.pixels};
    }
    return view;
}

//------------------------------------------------------------------------------
// Once start-up has failed and told the user why, the program only winds down:
// presenting a surface that was never made would add a second, misleading box.
// The first picture, and any change that covers the whole surface, is a full
// update; a drag step brings over only the rectangle around what changed.
void hostPresentSurface(const DirtyRegion& changed) {
    if (!running || changed.count == 0) {
        return;
    }
    const PixelRect bounds = changed.bounds();
    const DrawingSurface& surface = overlayWindow.surface;
    if (bounds == PixelRect{0, 0, surface.width, surface.height}) {
        presentSurface(overlayWindow);
        return;
    }
    const RECT dirty{bounds.left, bounds.top, bounds.right, bounds.bottom};
    presentSurface(overlayWindow, &dirty);
}

//------------------------------------------------------------------------------
void hostPlaySound(const char* relativePath) {
    win32.PlaySoundA(relativePath, nullptr, SND_FILENAME | SND_ASYNC);
}
