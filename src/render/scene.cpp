#include "render/scene.h"

#include <algorithm>
#include <cstring>

#include "world/world.h"

namespace {

// The pixel of an opaque COLORREF (0x00BBGGRR): the bytes blue, green, red, 255.
uint32_t opaquePixel(uint32_t colour) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
                              static_cast<uint8_t>(colour), 0xFF};
    uint32_t value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

}  // namespace

// Stud bounds are sums in floating point; x passes through single precision first.
int32_t studLeft(int32_t x) {
    return static_cast<int32_t>(static_cast<double>(static_cast<float>(x)) + 3.75);
}

int32_t studRight(int32_t x) {
    return static_cast<int32_t>(static_cast<double>(static_cast<float>(x)) + 11.25);
}

int32_t studTop(int32_t y) {
    return static_cast<int32_t>(static_cast<double>(y) - 3.75);
}

PixelRect wholeSurface(const SurfacePixels& surface) {
    return PixelRect{0, 0, surface.width, surface.height};
}

bool hasPixelMemory(const SurfacePixels& surface) {
    return surface.pixels != nullptr && surface.width > 0 && surface.height > 0;
}

void fillBlockClipped(SurfacePixels& surface, const PixelRect& clip, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                      uint32_t colour) {
    if (!hasPixelMemory(surface) || x0 > x1 || y0 > y1) {
        return;
    }
    const PixelRect area = intersectionOf(clip, wholeSurface(surface));
    const int32_t left = std::max(x0, area.left);
    const int32_t right = std::min(x1, area.right - 1);
    const int32_t top = std::max(y0, area.top);
    const int32_t bottom = std::min(y1, area.bottom - 1);
    if (left > right || top > bottom) {
        return;
    }
    const uint32_t value = opaquePixel(colour);
    for (int32_t row = top; row <= bottom; ++row) {
        auto* pixel = reinterpret_cast<uint32_t*>(surface.pixels + static_cast<std::ptrdiff_t>(row) * surface.stride) + left;
        std::fill(pixel, pixel + (right - left + 1), value);
    }
}

void drawUnit(SurfacePixels& surface, const BrickUnit& unit) {
    drawUnitClipped(surface, wholeSurface(surface), unit);
}

// Later steps overdraw earlier ones: the stud's last row lies under the top edge.
void drawUnitClipped(SurfacePixels& surface, const PixelRect& clip, const BrickUnit& unit) {
    const int32_t x = unit.drawX;
    const int32_t y = unit.drawY;
    const int32_t right = x + unitPitchX;
    const int32_t bottom = y + unitPitchY;

    fillBlockClipped(surface, clip, x, y, right, bottom, unit.colour);
    if (unit.above == nullptr) {
        fillBlockClipped(surface, clip, studLeft(x), studTop(y), studRight(x), y, unit.colour);
    }
    fillBlockClipped(surface, clip, x, y, right, y, blackColour);
    fillBlockClipped(surface, clip, x, bottom, right, bottom, blackColour);
    // Neighbours within a brick share a column, so the frame is one outline around the brick.
    if (unit.left == nullptr) {
        fillBlockClipped(surface, clip, x, y, x, bottom, blackColour);
    }
    if (unit.right == nullptr) {
        fillBlockClipped(surface, clip, right, y, right, bottom, blackColour);
    }
}

void renderScene(SurfacePixels& surface) {
    if (!hasPixelMemory(surface)) {
        return;
    }
    const auto rowBytes = 4 * static_cast<std::size_t>(surface.width);
    for (int32_t row = 0; row < surface.height; ++row) {
        std::memset(surface.pixels + static_cast<std::ptrdiff_t>(row) * surface.stride, 0, rowBytes);
    }
    for (std::size_t index = 0; index < World.size(); ++index) {
        drawUnit(surface, *World[index]);
    }
}
