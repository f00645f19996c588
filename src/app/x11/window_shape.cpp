#include "app/x11/window_shape.h"

#include <X11/extensions/shape.h>

#include <cstddef>

#include "app/x11/shape_rects.h"
#include "app/x11/x11_state.h"

static_assert(sizeof(ShapeRect) == sizeof(XRectangle) && offsetof(ShapeRect, x) == offsetof(XRectangle, x) &&
                  offsetof(ShapeRect, y) == offsetof(XRectangle, y) &&
                  offsetof(ShapeRect, width) == offsetof(XRectangle, width) &&
                  offsetof(ShapeRect, height) == offsetof(XRectangle, height),
              "ShapeRect must be laid out as XRectangle");

namespace {

XRectangle* asXRectangles(ShapeRect* rects) {
    return reinterpret_cast<XRectangle*>(rects);
}

void combine(int kind, ShapeRect* rects, int32_t count, int operation, int ordering) {
    XShapeCombineRectangles(x11.display, x11.window, kind, 0, 0, asXRectangles(rects), count, operation, ordering);
}

// The list, in surface pixels, into the window's (the root's) pixels.
void toWindowPixels(ShapeRects& list) {
    if (x11.scale != kUnscaled) scaleShapeRects(list, x11.scale);
}

// Puts the parts of the window outside the band (in the window's pixels) in the
// free slots in front of the list's rectangles; returns how many (at most four).
int32_t putOutsideOfBand(const PixelRect& band, ShapeRects& list) {
    const PixelRect window{0, 0, x11.imagePixels.width, x11.imagePixels.height};
    const PixelRect outside[4] = {
        {window.left, window.top, window.right, band.top},
        {window.left, band.top, band.left, band.bottom},
        {band.right, band.top, window.right, band.bottom},
        {window.left, band.bottom, window.right, window.bottom},
    };
    int32_t count = 0;
    for (const PixelRect& part : outside) {
        if (part.empty()) continue;
        ++count;
        list.rects[-count] = shapeRectOf(part);
    }
    return count;
}

// The bounding shape inside the band becomes the list. Pixels that stay are never
// taken out and put back: first what left is cut (intersect with the outside and
// the list), then what came is added, so no window beneath is exposed for nothing.
void replaceBoundingBand(const PixelRect& band, ShapeRects& list) {
    toWindowPixels(list);
    if (band == PixelRect{0, 0, x11.picture.logical.width, x11.picture.logical.height}) {
        combine(ShapeBounding, list.rects, list.count, ShapeSet, YXBanded);
        return;
    }
    const int32_t outside = putOutsideOfBand(toDevice(band, x11.scale), list);
    combine(ShapeBounding, list.rects - outside, list.count + outside, ShapeIntersect, Unsorted);
    combine(ShapeBounding, list.rects, list.count, ShapeUnion, YXBanded);
}

}  // namespace

//------------------------------------------------------------------------------
// Brings both shapes in step with the surface and the World inside the band:
// the bounding shape to the pixels with alpha > 0, the input shape to the units'
// hit rectangles. Runs of rows that do not fit the list are done in turn. Both
// shapes are in the window's pixels: a scaled surface's rectangles grow with it.
void reshapeBand(const PixelRect& band) {
    shapeBand(x11.picture.logical, band, x11.shapeRects, replaceBoundingBand, [&band](ShapeRects& list) {
        ShapeRect cut = shapeRectOf(toDevice(band, x11.scale));
        toWindowPixels(list);
        combine(ShapeInput, &cut, 1, ShapeSubtract, Unsorted);
        combine(ShapeInput, list.rects, list.count, ShapeUnion, Unsorted);
    });
}
