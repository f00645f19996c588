#pragma once

// What the portable core asks of the program around it. Each host (Windows,
// replay, the test host) defines these once; the linker picks the host.

#include "render/surface_pixels.h"

// The surface the scene is drawn into.
SurfacePixels& hostSurface();

// Shows the surface as it now stands.
void hostPresentSurface();

// Starts playing a sound file, given by a path relative to the current directory,
// and returns at once.
void hostPlaySound(const char* relativePath);
