#pragma once

#include <cstdint>

// The pixel memory of the drawing surface: top-down rows, four bytes per pixel
// (blue, green, red, alpha), colour premultiplied by alpha, so a row's stride is
// 4 x width. Hosts own the memory.
struct SurfacePixels {
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
    uint8_t* pixels = nullptr;  // null when the host has no pixel memory
};
