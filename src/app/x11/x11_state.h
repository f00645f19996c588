#pragma once

// The X11 desktop's one state record: the display and its overlay window, the
// image and the surface over it, the shape list, and what the grabs need.

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include "app/x11/shape_rects.h"
#include "host/surface_pixels.h"
#include "render/scaled_picture.h"

struct X11Overlay {
    Display* display = nullptr;
    int screen = 0;
    Window root = 0;
    Window window = 0;  // the override-redirect overlay over the whole root window
    Visual* visual = nullptr;
    int depth = 0;
    Colormap colormap = 0;  // our own, for the 32-bit visual; 0 with the default visual
    GC gc = nullptr;
    bool mapped = false;

    // The screen's scale from Xft.dpi, in 120ths: each surface pixel is a block of
    // N x N pixels of the image and the window, and root positions are N times the
    // surface's.
    int32_t scale = kUnscaled;

    // The image, in the root's pixels: an XImage over shared memory, or over our own
    // memory without MIT-SHM.
    XImage* image = nullptr;
    XShmSegmentInfo shm{};
    bool usesShm = false;
    SurfacePixels imagePixels;
    // The surface the core draws in: the image itself at 1:1, else the root's size / N,
    // brought to the image as blocks at each present.
    ScaledPicture picture;

    ShapeRects shapeRects;

    // Escape: the key's code, the modifier bits that mean Alt, and whether an Alt
    // key is down now (from XInput2 raw events).
    int escapeKeycode = 0;
    unsigned altMask = 0;
    int xinputOpcode = -1;
    unsigned char altKeysDown[32] = {};  // one bit per keycode of an Alt key that is down
    unsigned char altKeycodes[32] = {};  // one bit per keycode that is an Alt key

    bool pointerGrabbed = false;
};

extern X11Overlay x11;
