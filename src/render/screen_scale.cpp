#include "render/screen_scale.h"

#include <cstring>

namespace {

uint32_t pixelAt(const SurfacePixels& image, int32_t x, int32_t y) {
    uint32_t pixel;
    std::memcpy(&pixel, image.pixels + int64_t{y} * image.stride + 4 * x, 4);
    return pixel;
}

}  // namespace

void copyScaled(const SurfacePixels& logical, const PixelRect& area, int32_t per120, int32_t originX,
                int32_t originY, SurfacePixels& device) {
    if (logical.pixels == nullptr || device.pixels == nullptr || per120 <= 0) return;
    // The logical pixels both images hold, then the device pixels that show them.
    const PixelRect inDevice{originX, originY, originX + toLogical(device.width - 1, per120) + 1,
                             originY + toLogical(device.height - 1, per120) + 1};
    const PixelRect from =
        intersectionOf(intersectionOf(area, PixelRect{0, 0, logical.width, logical.height}), inDevice);
    if (from.empty()) return;
    const PixelRect to = intersectionOf(
        toDevice(PixelRect{from.left - originX, from.top - originY, from.right - originX, from.bottom - originY},
                 per120),
        PixelRect{0, 0, device.width, device.height});
    if (to.empty()) return;
    const size_t rowBytes = 4 * static_cast<size_t>(to.width());
    int32_t shownRow = -1;  // the logical row the device row above holds, when it is in `to`
    for (int32_t y = to.top; y < to.bottom; ++y) {
        uint8_t* target = device.pixels + int64_t{y} * device.stride + 4 * to.left;
        const int32_t row = originY + toLogical(y, per120);
        if (row == shownRow) {
            std::memcpy(target, target - device.stride, rowBytes);
            continue;
        }
        shownRow = row;
        int32_t column = originX + toLogical(to.left, per120);
        if (per120 == kUnscaled) {
            std::memcpy(target, logical.pixels + int64_t{row} * logical.stride + 4 * column, rowBytes);
            continue;
        }
        // Each logical pixel fills the device columns up to where the next one begins.
        int32_t nextStart = toDevice(column + 1 - originX, per120);
        uint32_t pixel = pixelAt(logical, column, row);
        for (int32_t x = to.left; x < to.right; ++x, target += 4) {
            if (x == nextStart) {
                ++column;
                nextStart = toDevice(column + 1 - originX, per120);
                pixel = pixelAt(logical, column, row);
            }
            std::memcpy(target, &pixel, 4);
        }
    }
}
