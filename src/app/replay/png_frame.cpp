#include "app/replay/png_frame.h"

#include <cstdint>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO_FILENAME_CONVERSION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {

uint8_t unpremultiply(uint8_t channel, uint8_t alpha) {
    if (alpha == 0) return 0;
    return static_cast<uint8_t>((channel * 255 + alpha / 2) / alpha);
}

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    out->insert(out->end(), static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
}

}  // namespace

bool writePngFrame(const SurfacePixels& surface, const std::string& path) {
    if (surface.pixels == nullptr || surface.width <= 0 || surface.height <= 0) return false;
    std::vector<uint8_t> rgba(4 * static_cast<std::size_t>(surface.width) * static_cast<std::size_t>(surface.height));
    std::size_t out = 0;
    for (int32_t row = 0; row < surface.height; ++row) {
        const uint8_t* pixel = surface.pixels + static_cast<std::ptrdiff_t>(row) * surface.stride;
        for (int32_t column = 0; column < surface.width; ++column, pixel += 4) {
            const uint8_t alpha = pixel[3];
            rgba[out++] = unpremultiply(pixel[2], alpha);
            rgba[out++] = unpremultiply(pixel[1], alpha);
            rgba[out++] = unpremultiply(pixel[0], alpha);
            rgba[out++] = alpha;
        }
    }
    return stbi_write_png(path.c_str(), surface.width, surface.height, 4, rgba.data(), surface.width * 4) != 0;
}

std::vector<uint8_t> encodePng(const uint8_t* rgba, int32_t width, int32_t height) {
    std::vector<uint8_t> bytes;
    stbi_write_png_to_func(appendBytes, &bytes, width, height, 4, rgba, 4 * width);
    return bytes;
}
