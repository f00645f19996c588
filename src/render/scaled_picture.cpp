#include "render/scaled_picture.h"

#include <cstdlib>
#include <cstring>

namespace {

bool ownMemory(ScaledPicture& picture, int32_t width, int32_t height) {
    const auto bytes = 4 * static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (picture.memory != nullptr && picture.logical.width == width && picture.logical.height == height) {
        std::memset(picture.memory, 0, bytes);
        return true;
    }
    releasePicture(picture);
    picture.memory = static_cast<uint8_t*>(std::calloc(bytes > 0 ? bytes : 1, 1));
    if (picture.memory == nullptr) return false;
    picture.logical = SurfacePixels{width, height, 4 * width, picture.memory};
    return true;
}

}  // namespace

bool fitToDevice(ScaledPicture& picture, const SurfacePixels& device, int32_t per120) {
    if (per120 == kUnscaled) {
        releasePicture(picture);
        picture.logical = device;
        return true;
    }
    if (!ownMemory(picture, toLogical(device.width, per120), toLogical(device.height, per120))) return false;
    picture.per120 = per120;
    return true;
}

bool fitToSize(ScaledPicture& picture, int32_t width, int32_t height) {
    return ownMemory(picture, width, height);
}

void releasePicture(ScaledPicture& picture) {
    std::free(picture.memory);
    picture = ScaledPicture{};
}

void bringToDevice(const ScaledPicture& picture, const PixelRect& rect, SurfacePixels& device, int32_t per120,
                   int32_t originX, int32_t originY) {
    if (picture.memory != nullptr) copyScaled(picture.logical, rect, per120, originX, originY, device);
}
