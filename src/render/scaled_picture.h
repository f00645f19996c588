#pragma once

#include <cstdint>

#include "host/pixel_rect.h"
#include "host/surface_pixels.h"
#include "render/screen_scale.h"

// The picture the core draws in, in logical pixels, paired with the device images
// that show it. At scale 1 over one device image the picture is that image itself;
// otherwise it has memory of its own, and each present brings the changed
// rectangles over, each logical pixel a block of device pixels.
struct ScaledPicture {
    SurfacePixels logical;       // what the core draws in
    int32_t per120 = kUnscaled;  // the device image's scale, where there is one device image
    uint8_t* memory = nullptr;   // the picture's own memory; null where it is the device image
};

// Pairs the picture with one device image at `per120`: at 120 the image itself, else
// memory of its own of the image's size / scale (rounded down), cleared. Memory of
// the same size is kept. False when no memory can be had; the picture is empty then.
bool fitToDevice(ScaledPicture& picture, const SurfacePixels& device, int32_t per120);

// A picture of its own memory of this logical size, cleared, for device images that
// each show a part of it at a scale of their own. Memory of the same size is kept.
bool fitToSize(ScaledPicture& picture, int32_t width, int32_t height);

void releasePicture(ScaledPicture& picture);

// Brings the logical rectangle into `device`, whose pixel (0, 0) shows logical
// pixel (originX, originY), at `per120`; nothing where the picture is the device
// image itself. Allocates nothing.
void bringToDevice(const ScaledPicture& picture, const PixelRect& rect, SurfacePixels& device, int32_t per120,
                   int32_t originX = 0, int32_t originY = 0);
