#include "app/win32/overlay_window.h"

#include <cstdio>

#include "app/win32/win32_api.h"

OverlayWindow overlayWindow{};

namespace {

// Set while a presentation-failure box is open. Its modal loop lets the mouse hook
// run again, and every further failing redraw would open a box inside the last one
// without end; those nested failures are dropped, the next one after dismissal is not.
bool presentFailureShown = false;

void reportPresentFailure() {
    char text[64];
    std::snprintf(text, sizeof text, "Failed to update window: 0x%x", static_cast<unsigned>(win32.GetLastError()));
    if (presentFailureShown) {
        return;
    }
    presentFailureShown = true;
    win32.MessageBoxA(nullptr, text, "Error", 0);
    presentFailureShown = false;
}

}  // namespace

//------------------------------------------------------------------------------
void presentSurface(OverlayWindow& overlay, const RECT* dirty) {
    DrawingSurface& surface = overlay.surface;

    BLENDFUNCTION blend{};
    blend.BlendOp = AC_SRC_OVER;
    blend.BlendFlags = 0;
    blend.SourceConstantAlpha = 255;
    blend.AlphaFormat = AC_SRC_ALPHA;

    HGDIOBJ previous = win32.SelectObject(surface.memoryDC, surface.bitmap);

    POINT destination{0, 0};
    win32.ClientToScreen(overlay.window, &destination);

    HDC windowDC = win32.GetDC(overlay.window);

    SIZE size{surface.width, surface.height};
    POINT source{0, 0};
    bool shown = false;
    if (dirty != nullptr) {
        UPDATELAYEREDWINDOWINFO update{};
        update.cbSize = sizeof update;
        update.hdcDst = windowDC;
        update.pptDst = &destination;
        update.psize = &size;
        update.hdcSrc = surface.memoryDC;
        update.pptSrc = &source;
        update.crKey = 0;
        update.pblend = &blend;
        update.dwFlags = ULW_ALPHA;
        update.prcDirty = dirty;
        shown = win32.UpdateLayeredWindowIndirect(overlay.window, &update) != FALSE;
    }
    if (!shown && !win32.UpdateLayeredWindow(overlay.window, windowDC, &destination, &size, surface.memoryDC, &source,
                                             0, &blend, ULW_ALPHA)) {
        reportPresentFailure();
    }

    win32.SelectObject(surface.memoryDC, previous);
}
