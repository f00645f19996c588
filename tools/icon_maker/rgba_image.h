#pragma once

#include <cstdint>
#include <vector>

#include "app/replay/png_frame.h"

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

// The picture as the bytes of an RGBA PNG file, by the replay host's PNG writer.
inline std::vector<uint8_t> encodePng(const RgbaImage& image) {
    return encodePng(image.rgba.data(), image.width, image.height);
}
