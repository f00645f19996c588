#include "png_bytes.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
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

void append(void* context, void* data, int size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    static_cast<std::vector<uint8_t>*>(context)->insert(static_cast<std::vector<uint8_t>*>(context)->end(), bytes,
                                                        bytes + size);
}

}  // namespace

std::vector<uint8_t> encodePng(const RgbaImage& image) {
    std::vector<uint8_t> bytes;
    stbi_write_png_to_func(append, &bytes, image.width, image.height, 4, image.rgba.data(), 4 * image.width);
    return bytes;
}
