#pragma once

#include <cstdint>

#include "app/win32/win32_platform.h"

// The screen-sized off-screen image: a top-down 32-bit DIB section (blue, green,
// red, alpha, premultiplied) with a memory device context beside it.
struct DrawingSurface {
    int32_t width;
    int32_t height;
    int32_t stride;        // bytes per row: always width * 4
    HDC memoryDC;          // null when none
    HBITMAP bitmap;        // null when none
    BITMAPINFO bitmapInfo; // what CreateDIBSection was given
    uint8_t* pixels;       // the DIB section's memory; null when none
};

// Builds the memory device context and the DIB section; false when either fails.
// Without a device context the size stays set; without a DIB section all is zero.
bool createSurface(DrawingSurface& surface, int32_t width, int32_t height);

// Releases what createSurface made and zeroes the record.
void freeSurface(DrawingSurface& surface);
