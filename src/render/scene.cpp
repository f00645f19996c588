#include "render/scene.h"

#include <algorithm>
#include <cstring>

#include "world/world.h"

namespace {

struct PixelBytes {
    uint8_t blue, green, red, alpha;
};

// Premultiplies a COLORREF by opacity, truncating each product toward zero.
PixelBytes premultiply(uint32_t colour, float opacity) {
    const auto channel = [opacity](uint32_t value) {
        return static_cast<uint8_t>(static_cast<int32_t>(static_cast<float>(value & 0xFFu) * opacity) & 0xFF);
    };
    return PixelBytes{
        channel(colour >> 16),
        channel(colour >> 8),
        channel(colour),
        static_cast<uint8_t>(static_cast<int32_t>(opacity * 255.0) & 0xFF),
    };
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

void putPixel(SurfacePixels& surface, int32_t x, int32_t y, uint32_t colour, float opacity) {
    if (!hasPixelMemory(surface) || x < 0 || x >= surface.width || y < 0 || y >= surface.height) {
        return;
    }
    const PixelBytes bytes = premultiply(colour, opacity);
    uint8_t* pixel = surface.pixels + static_cast<std::ptrdiff_t>(y) * surface.stride + 4 * static_cast<std::ptrdiff_t>(x);
    std::memcpy(pixel, &bytes, sizeof bytes);
}

// Same pixels and bytes as one putPixel per point, with the clipping done once.
void fillBlock(SurfacePixels& surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour,
               float opacity) {
    fillBlockClipped(surface, wholeSurface(surface), x0, y0, x1, y1, colour, opacity);
}

void fillBlockClipped(SurfacePixels& surface, const PixelRect& clip, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                      uint32_t colour, float opacity) {
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
    const PixelBytes bytes = premultiply(colour, opacity);
    uint32_t value = 0;
    std::memcpy(&value, &bytes, sizeof value);
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

    fillBlockClipped(surface, clip, x, y, right, bottom, unit.colour, 1.0f);
    if (unit.above == nullptr) {
        fillBlockClipped(surface, clip, studLeft(x), studTop(y), studRight(x), y, unit.colour, 1.0f);
    }
    fillBlockClipped(surface, clip, x, y, right, y, blackColour, 1.0f);
    fillBlockClipped(surface, clip, x, bottom, right, bottom, blackColour, 1.0f);
    // Neighbours within a brick share a column, so the frame is one outline around the brick.
    if (unit.left == nullptr) {
        fillBlockClipped(surface, clip, x, y, x, bottom, blackColour, 1.0f);
    }
    if (unit.right == nullptr) {
        fillBlockClipped(surface, clip, right, y, right, bottom, blackColour, 1.0f);
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
