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
    overlay.per120 = scaleForDpi(dpi);
    if (overlay.per120 == kUnscaled) {
        overlay.scenePixels.clear();
    } else {
        const int64_t width = toLogical(overlay.screenWidth, overlay.per120);
        const int64_t height = toLogical(overlay.screenHeight, overlay.per120);
        overlay.scenePixels.assign(static_cast<size_t>(4 * width * height), 0);
    }
    return createSurface(overlay.surface, overlay.screenWidth, overlay.screenHeight);
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
