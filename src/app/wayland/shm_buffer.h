#pragma once

#include <cstddef>
#include <cstdint>

#include "render/pixel_rect.h"

struct wl_buffer;
struct wl_shm;

// One ARGB8888 shm buffer the size of the surface. Busy from its commit until the
// compositor releases it; stale is what changed in the picture since it was last
// brought up to date.
struct ShmBuffer {
    wl_buffer* buffer = nullptr;
    uint8_t* pixels = nullptr;
    std::size_t size = 0;
    bool busy = false;
    PixelRect stale;
};

// Makes the buffer in its own memfd pool; false when the memory cannot be had.
bool createShmBuffer(ShmBuffer& buffer, wl_shm* shm, int32_t width, int32_t height, int32_t stride);

// Copies the rectangle's rows from the picture into the buffer (same layout).
void copyRect(ShmBuffer& buffer, const uint8_t* picture, int32_t stride, const PixelRect& rect);
