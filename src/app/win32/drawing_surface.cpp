#include "app/win32/drawing_surface.h"

#include <cstdio>
#include <cstring>

#include "app/win32/overlay_window.h"
#include "app/win32/win32_api.h"
#include "host/surface_pixels.h"

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
bool createSurface(DrawingSurface& surface, int32_t width, int32_t height) {
    surface.width = width;
    surface.height = height;
    surface.stride = 4 * width;
    surface.pixels = nullptr;

    surface.memoryDC = win32.CreateCompatibleDC(nullptr);
    if (surface.memoryDC == nullptr) {
        return false;
    }

    std::memset(&surface.bitmapInfo, 0, sizeof surface.bitmapInfo);
    BITMAPINFOHEADER& header = surface.bitmapInfo.bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = -height;  // negative: row 0 is the top row of the screen
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;

    void* bits = nullptr;
    surface.bitmap = win32.CreateDIBSection(surface.memoryDC, &surface.bitmapInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
    surface.pixels = static_cast<uint8_t*>(bits);
    if (surface.bitmap == nullptr) {
        freeSurface(surface);
        return false;
    }

    win32.GdiFlush();
    return true;
}

//------------------------------------------------------------------------------
void freeSurface(DrawingSurface& surface) {
    surface.width = 0;
    surface.height = 0;
    surface.stride = 0;
    if (surface.bitmap != nullptr) {
        win32.DeleteObject(surface.bitmap);
        surface.bitmap = nullptr;
    }
    if (surface.memoryDC != nullptr) {
        win32.DeleteDC(surface.memoryDC);
        surface.memoryDC = nullptr;
    }
    std::memset(&surface.bitmapInfo, 0, sizeof surface.bitmapInfo);
    surface.pixels = nullptr;
}

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
