#pragma once

#include <cstdint>

// The pixel memory of the drawing surface: top-down rows, four bytes per pixel
// (blue, green, red, alpha), colour premultiplied by alpha. Hosts own the memory.
struct SurfacePixels {
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
    uint8_t* pixels = nullptr;  // null when the host has no pixel memory
};

// Bytes per row of a 32-bit surface, rounded to whole DWORDs (always width * 4).
constexpr int32_t strideForWidth(int32_t width) {
    return ((width * 32 + 31) >> 3) & ~3;
}
