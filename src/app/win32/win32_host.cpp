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
// The whole surface is presented whatever changed.
void hostPresentSurface(const DirtyRegion&) {
    if (!running) {
        return;
    }
    presentSurface(overlayWindow);
}

//------------------------------------------------------------------------------
void hostPlaySound(const char* relativePath) {
    win32.PlaySoundA(relativePath, nullptr, SND_FILENAME | SND_ASYNC);
}
