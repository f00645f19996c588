#include "host/host.h"
#include "app/win32/overlay_window.h"
#include "app/win32/shell.h"
#include "app/win32/win32_api.h"

//------------------------------------------------------------------------------
// A view of the DIB section, or above scale 1 of the scene's logical image. A surface
// without pixel memory (its device context could not be made) is shown to the drawing
// as empty, so nothing writes into it.
SurfacePixels& hostSurface() {
    static SurfacePixels view;
    const DrawingSurface& surface = overlayWindow.surface;
    if (surface.pixels == nullptr) {
        view = SurfacePixels{};
    } else if (overlayWindow.per120 != kUnscaled) {
        const int32_t width = toLogical(surface.width, overlayWindow.per120);
        view = SurfacePixels{width, toLogical(surface.height, overlayWindow.per120), 4 * width,
                             overlayWindow.scenePixels.data()};
    } else {
        view = SurfacePixels{surface.width, surface.height, surface.stride, surface.pixels};
    }
    return view;
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
    const int32_t per120 = overlayWindow.per120;
    if (per120 != kUnscaled) {
        SurfacePixels device{surface.width, surface.height, surface.stride, surface.pixels};
        for (int32_t i = 0; i < changed.count; ++i) {
            copyScaled(scene, changed.rects[i], per120, 0, 0, device);
        }
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
