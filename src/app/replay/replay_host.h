#pragma once

#include <string>
#include <vector>

#include "render/surface_pixels.h"

// The replay host's surface, allocated once with the size given on the command line.
void createReplaySurface(int width, int height);

// Sounds started since the last call, oldest first.
std::vector<std::string> takeStartedSounds();
