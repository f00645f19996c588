#pragma once

// What the portable core asks of the program around it. Each host (Windows, Linux,
// and the in-memory host of the replay program, the tests and the benchmarks)
// defines these once; the linker picks the host.

#include "host/pixel_rect.h"
#include "host/surface_pixels.h"

// The surface the scene is drawn into.
SurfacePixels& hostSurface();

// Shows the surface as it now stands. Only the pixels inside `changed` differ from
// the picture shown before, and only there can the hit test's answer have changed,
// so a host may bring just those rectangles to the screen (and its input shape).
void hostPresentSurface(const DirtyRegion& changed);

// Starts playing a sound file, given by a path relative to the current directory
// with a backslash as separator, and returns at once.
void hostPlaySound(const char* relativePath);
