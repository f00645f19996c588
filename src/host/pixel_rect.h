#pragma once

#include <algorithm>
#include <cstdint>

// A rectangle of surface pixels: left and top included, right and bottom excluded.
struct PixelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool empty() const { return left >= right || top >= bottom; }
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    bool operator==(const PixelRect&) const = default;
};

// The smallest rectangle holding both; an empty one adds nothing.
inline PixelRect unionOf(const PixelRect& a, const PixelRect& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return PixelRect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                     std::max(a.bottom, b.bottom)};
}

inline PixelRect intersectionOf(const PixelRect& a, const PixelRect& b) {
    const PixelRect common{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                           std::min(a.bottom, b.bottom)};
    return common.empty() ? PixelRect{} : common;
}

// Where a redraw changed the picture or the hit test: at most two rectangles inside
// the surface, which never overlap. None when nothing changed.
struct DirtyRegion {
    static constexpr int32_t capacity = 2;
    int32_t count = 0;
    PixelRect rects[capacity];

    PixelRect bounds() const {
        PixelRect all;
        for (int32_t i = 0; i < count; ++i) all = unionOf(all, rects[i]);
        return all;
    }
};

// The region of one rectangle: a whole surface or a part of it to present.
inline DirtyRegion regionOf(const PixelRect& rect) {
    DirtyRegion region;
    region.rects[region.count++] = rect;
    return region;
}
