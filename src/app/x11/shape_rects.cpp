#include "app/x11/shape_rects.h"

#include <algorithm>
#include <cstring>

#include "render/redraw.h"
#include "render/screen_scale.h"
#include "world/world.h"

namespace {

ShapeRect shapeRectOf(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return ShapeRect{static_cast<int16_t>(left), static_cast<int16_t>(top), static_cast<uint16_t>(right - left),
                     static_cast<uint16_t>(bottom - top)};
}

bool sameRuns(const ShapeRect* a, const ShapeRect* b, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        if (a[i].x != b[i].x || a[i].width != b[i].width) return false;
    }
    return true;
}

}  // namespace

//------------------------------------------------------------------------------
// Room for a few thousand rectangles, and never less than the most runs one row
// can have (every other pixel), so a row always fits in an empty list.
void reserveShapeRects(ShapeRects& list, int32_t surfaceWidth) {
    const int32_t capacity = std::max<int32_t>(16384, surfaceWidth / 2 + 1);
    static ShapeRect* storage = nullptr;  // kept for the life of the program
    delete[] storage;
    storage = new ShapeRect[static_cast<std::size_t>(capacity + ShapeRects::frontSlots)]();
    list.rects = storage + ShapeRects::frontSlots;
    list.capacity = capacity;
    list.count = 0;
}

//------------------------------------------------------------------------------
int32_t collectOpaqueRuns(const SurfacePixels& surface, const PixelRect& band, ShapeRects& list) {
    int32_t previousStart = 0;  // the row above's rectangles, when they may grow
    int32_t previousCount = -1;
    for (int32_t row = band.top; row < band.bottom; ++row) {
        const uint8_t* pixels = surface.pixels + static_cast<std::ptrdiff_t>(row) * surface.stride;
        const int32_t rowStart = list.count;
        int32_t x = band.left;
        while (x < band.right) {
            while (x < band.right && pixels[4 * x + 3] == 0) ++x;
            if (x == band.right) break;
            const int32_t runStart = x;
            while (x < band.right && pixels[4 * x + 3] != 0) ++x;
            if (list.count == list.capacity) {
                list.count = rowStart;
                return row;
            }
            list.rects[list.count++] = shapeRectOf(runStart, row, x, row + 1);
        }
        const int32_t rowCount = list.count - rowStart;
        if (rowCount > 0 && rowCount == previousCount &&
            sameRuns(list.rects + previousStart, list.rects + rowStart, rowCount)) {
            list.count = rowStart;
            for (int32_t i = 0; i < rowCount; ++i) ++list.rects[previousStart + i].height;
        } else {
            previousStart = rowStart;
            previousCount = rowCount;
        }
    }
    return band.bottom;
}

//------------------------------------------------------------------------------
bool collectHitRects(const PixelRect& band, ShapeRects& list) {
    for (const BrickUnit* unit : World) {
        const PixelRect hit = hitFootprint(*unit, band);
        if (hit.empty()) continue;
        if (list.count == list.capacity) return false;
        list.rects[list.count++] = shapeRectOf(hit);
    }
    return true;
}

//------------------------------------------------------------------------------
ShapeRect shapeRectOf(const PixelRect& rect) {
    return shapeRectOf(rect.left, rect.top, rect.right, rect.bottom);
}

//------------------------------------------------------------------------------
void scaleShapeRects(ShapeRects& list, int32_t per120) {
    for (int32_t i = 0; i < list.count; ++i) {
        const ShapeRect& r = list.rects[i];
        list.rects[i] = shapeRectOf(toDevice(PixelRect{r.x, r.y, r.x + r.width, r.y + r.height}, per120));
    }
}
