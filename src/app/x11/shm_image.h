#pragma once

// The window's picture: a screen-sized XImage over MIT-SHM (or over our own memory
// where the server cannot share it), and the surface the core draws in over it.

#include "host/pixel_rect.h"

// Makes the image at the screen's present size and the surface over it; false,
// after saying why, when it cannot.
bool createSurfaceImage();
void destroySurfaceImage();

// Both take a rectangle of the surface.
void bringToImage(const PixelRect& rect);
void putSurfaceRect(const PixelRect& rect);
