#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/pixel_rect.h"
#include "host/surface_pixels.h"

// The host of the programs without a screen or a speaker (the replay host, the tests
// and the benchmarks): the surface lives in memory, and presents and sounds are kept.
struct MemoryHost {
    SurfacePixels surface;
    std::vector<uint8_t> memory;
    int presentCount = 0;
    DirtyRegion lastRegion;
    std::vector<std::string> sounds;  // started since the last clear, oldest first
    int soundCount = 0;
    // Without text a started sound is only counted, so that starting one allocates nothing.
    bool keepSoundText = true;
    // Run by every present after it is recorded: a program's own step of showing the picture.
    void (*presentStep)(const DirtyRegion& changed) = nullptr;
};

MemoryHost& memoryHost();

// Gives the host a fresh transparent surface (0 x 0 for none) and an empty record.
void resetMemoryHost(int width, int height);
