#include "app/win32/drawing_surface.h"

#include <cstring>

#include "app/win32/win32_api.h"
#include "host/surface_pixels.h"

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
