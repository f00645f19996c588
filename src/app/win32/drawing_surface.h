#pragma once

#include <cstdint>

#include "app/win32/win32_platform.h"

struct OverlayWindow;

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

// Shows the overlay's surface on its window with per-pixel alpha. With a dirty
// rectangle only that part is brought over, falling back to the whole surface
// where the system refuses the partial update.
void presentSurface(OverlayWindow& overlay, const RECT* dirty = nullptr);
