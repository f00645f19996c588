#pragma once

#include <cstddef>
#include <cstdint>

#include "host/pixel_rect.h"
#include "host/surface_pixels.h"

struct wl_buffer;
struct wl_shm;

// One shm buffer the device size of an output's surface, in ARGB8888: little-endian
// 0xAARRGGBB, so blue, green, red, alpha in memory, the core's own premultiplied
// bytes. Busy from its commit until the compositor releases it; stale is what changed
// in the picture since it was last brought up to date, in the surface's logical pixels.
struct ShmBuffer {
    wl_buffer* buffer = nullptr;
    uint8_t* pixels = nullptr;
    std::size_t size = 0;
    int32_t stride = 0;
    bool busy = false;
    PixelRect stale;
};

// Makes the buffer in its own memfd pool; false when the memory cannot be had.
bool createShmBuffer(ShmBuffer& buffer, wl_shm* shm, int32_t width, int32_t height, int32_t stride);

// Gives the buffer and its memory back; the slot can be made again.
void destroyShmBuffer(ShmBuffer& buffer);
