#include "render/redraw.h"

#include <cstring>
#include <vector>

#include "host/host.h"
#include "render/scene.h"
#include "world/world.h"

namespace {

// What a unit looked like the last time it was drawn, in World order.
struct UnitFootprint {
    PixelRect drawn;
    PixelRect hit;
    bool stud = false;
    bool operator==(const UnitFootprint&) const = default;
};

std::vector<UnitFootprint> footprints;
PixelRect footprintArea;  // the surface the footprints were taken on

// Clips the inclusive pixel bounds to the area; 64-bit so no edge can overflow.
PixelRect clippedBounds(int64_t left, int64_t top, int64_t right, int64_t bottom, const PixelRect& area) {
    const PixelRect clipped{
        static_cast<int32_t>(std::max<int64_t>(left, area.left)),
        static_cast<int32_t>(std::max<int64_t>(top, area.top)),
        static_cast<int32_t>(std::min<int64_t>(right + 1, area.right)),
        static_cast<int32_t>(std::min<int64_t>(bottom + 1, area.bottom)),
    };
    return clipped.empty() ? PixelRect{} : clipped;
}

UnitFootprint footprintOf(const BrickUnit& unit, const PixelRect& area) {
    return UnitFootprint{drawnFootprint(unit, area), hitFootprint(unit, area), unit.above == nullptr};
}

void clearRect(SurfacePixels& surface, const PixelRect& rect) {
    const auto rowBytes = 4 * static_cast<std::size_t>(rect.width());
    for (int32_t row = rect.top; row < rect.bottom; ++row) {
        std::memset(surface.pixels + static_cast<std::ptrdiff_t>(row) * surface.stride + 4 * static_cast<std::ptrdiff_t>(rect.left),
                    0, rowBytes);
    }
}

// Every unit that reaches into the rectangle, in World order, drawn only inside it.
void redrawRect(SurfacePixels& surface, const PixelRect& rect) {
    clearRect(surface, rect);
    for (std::size_t index = 0; index < World.size(); ++index) {
        if (!intersectionOf(footprints[index].drawn, rect).empty()) {
            drawUnitClipped(surface, rect, *World[index]);
        }
    }
}

// The rectangles units left and the ones they came to, kept apart when they do not meet.
DirtyRegion regionOf(const PixelRect& before, const PixelRect& after) {
    DirtyRegion region;
    if (before.empty() && after.empty()) {
        return region;
    }
    if (before.empty() || after.empty() || !intersectionOf(before, after).empty()) {
        region.rects[region.count++] = unionOf(before, after);
    } else {
        region.rects[region.count++] = before;
        region.rects[region.count++] = after;
    }
    return region;
}

}  // namespace

PixelRect drawnFootprint(const BrickUnit& unit, const PixelRect& area) {
    int64_t left = unit.drawX;
    int64_t right = static_cast<int64_t>(unit.drawX) + unitPitchX;
    int64_t top = unit.drawY;
    if (unit.above == nullptr) {
        left = std::min<int64_t>(left, studLeft(unit.drawX));
        right = std::max<int64_t>(right, studRight(unit.drawX));
        top = std::min<int64_t>(top, studTop(unit.drawY));
    }
    return clippedBounds(left, top, right, static_cast<int64_t>(unit.drawY) + unitPitchY, area);
}

PixelRect hitFootprint(const BrickUnit& unit, const PixelRect& area) {
    return clippedBounds(unit.x, unit.y, static_cast<int64_t>(unit.x) + unitPitchX,
                         static_cast<int64_t>(unit.y) + unitPitchY, area);
}

void showWholeScene() {
    SurfacePixels& surface = hostSurface();
    renderScene(surface);
    footprintArea = hasPixelMemory(surface) ? wholeSurface(surface) : PixelRect{};
    footprints.resize(World.size());
    for (std::size_t index = 0; index < World.size(); ++index) {
        footprints[index] = footprintOf(*World[index], footprintArea);
    }
    DirtyRegion all;
    if (!footprintArea.empty()) {
        all.rects[all.count++] = footprintArea;
    }
    hostPresentSurface(all);
}

void redrawScene() {
    SurfacePixels& surface = hostSurface();
    const PixelRect area = hasPixelMemory(surface) ? wholeSurface(surface) : PixelRect{};
    if (footprints.size() != World.size() || area != footprintArea) {
        showWholeScene();
        return;
    }
    PixelRect before;
    PixelRect after;
    for (std::size_t index = 0; index < World.size(); ++index) {
        const UnitFootprint now = footprintOf(*World[index], area);
        UnitFootprint& last = footprints[index];
        if (now != last) {
            before = unionOf(before, unionOf(last.drawn, last.hit));
            after = unionOf(after, unionOf(now.drawn, now.hit));
            last = now;
        }
    }
    const DirtyRegion region = regionOf(before, after);
    for (int32_t i = 0; i < region.count; ++i) {
        redrawRect(surface, region.rects[i]);
    }
    hostPresentSurface(region);
}
