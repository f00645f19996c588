#include "app/win32/monitor_scale.h"

#include <algorithm>

#include "app/win32/overlay_window.h"
#include "app/win32/shell.h"
#include "app/win32/win32_api.h"
#include "render/redraw.h"

namespace {

constexpr UINT unscaledDpi = 96;  // what Windows calls 100 %

}  // namespace

//------------------------------------------------------------------------------
int32_t scaleForDpi(UINT dpi) {
    return static_cast<int32_t>(std::max(1u, dpi / unscaledDpi)) * kUnscaled;
}

//------------------------------------------------------------------------------
bool makeOverlaySurfaces(OverlayWindow& overlay, UINT dpi) {
    RECT screen{};
    win32.GetClipBox(win32.GetDC(nullptr), &screen);
    overlay.screenWidth = screen.right - screen.left;
    overlay.screenHeight = screen.bottom - screen.top;
    if (!createSurface(overlay.surface, overlay.screenWidth, overlay.screenHeight)) {
        releasePicture(overlay.scene);
        return false;
    }
    const DrawingSurface& surface = overlay.surface;
    return fitToDevice(overlay.scene, SurfacePixels{surface.width, surface.height, surface.stride, surface.pixels},
                       scaleForDpi(dpi));
}

//------------------------------------------------------------------------------
void followDpiChange(UINT dpi) {
    if (!running) {
        return;
    }
    freeSurface(overlayWindow.surface);
    if (!makeOverlaySurfaces(overlayWindow, dpi)) {
        win32.MessageBoxA(nullptr, "Failed CreateCompatibleBitmap", "Error", 0);
        win32.PostQuitMessage(0);
        running = false;
        return;
    }
    showWholeScene();
}
