#pragma once

#include <cstdint>
#include <vector>

// A picture of top-down rows, four bytes per pixel (red, green, blue, alpha), colour
// not premultiplied: what PNG files and icon entries hold.
struct RgbaImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgba;

    const uint8_t* pixel(int32_t column, int32_t row) const {
        return rgba.data() + 4 * (static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + column);
    }
};
