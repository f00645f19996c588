#pragma once

// The rectangles of the window's two shapes, worked out from the surface and the
// World without any X11 call, into memory reserved at start-up.

#include <cstdint>

#include "host/pixel_rect.h"
#include "host/surface_pixels.h"

// One shape rectangle, laid out as Xlib's XRectangle (checked where Xlib is seen).
struct ShapeRect {
    int16_t x;
    int16_t y;
    uint16_t width;
    uint16_t height;
};

// A fixed list of shape rectangles. Four free slots stay in front of `rects`, so
// the four parts of the window around a band can be put ahead of them in place.
struct ShapeRects {
    static constexpr int32_t frontSlots = 4;
    ShapeRect* rects = nullptr;
    int32_t capacity = 0;
    int32_t count = 0;
};

// Reserves the list for a surface of this width; every row's runs always fit.
void reserveShapeRects(ShapeRects& list, int32_t surfaceWidth);

// Writes the runs of alpha > 0 in the band's rows as YX-banded rectangles, rows
// with the same runs as the row above sharing one taller rectangle. Stops before a
// row whose runs would not fit and returns that row (band.bottom when all fitted).
int32_t collectOpaqueRuns(const SurfacePixels& surface, const PixelRect& band, ShapeRects& list);

// Writes every unit's hit rectangle clipped to the band, in World order. False when
// there are more than the list holds.
bool collectHitRects(const PixelRect& band, ShapeRects& list);

// The shape rectangle of a rectangle of pixels.
ShapeRect shapeRectOf(const PixelRect& rect);

// Brings the list's rectangles, in surface pixels, to the device pixels of a
// screen of this scale (120ths) that show them.
void scaleShapeRects(ShapeRects& list, int32_t per120);

// Works out both shapes inside the band in the order the window takes them:
// `bounding(rows, list)` for each run of rows whose opaque runs fit the list at once,
// then `input(list)` with the band's hit rectangles (at most one a unit: the list
// holds thousands).
template <typename Bounding, typename Input>
void shapeBand(const SurfacePixels& surface, const PixelRect& band, ShapeRects& list, Bounding bounding, Input input) {
    for (int32_t top = band.top; top < band.bottom;) {
        list.count = 0;
        const int32_t stop = collectOpaqueRuns(surface, PixelRect{band.left, top, band.right, band.bottom}, list);
        bounding(PixelRect{band.left, top, band.right, stop}, list);
        top = stop;
    }
    list.count = 0;
    collectHitRects(band, list);
    input(list);
}
