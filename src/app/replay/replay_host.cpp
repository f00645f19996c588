#include "app/replay/replay_host.h"

#include <cstdint>

#include "host/host.h"

namespace {

SurfacePixels surface;
std::vector<uint8_t> pixelMemory;
std::vector<std::string> startedSounds;

}  // namespace

void createReplaySurface(int width, int height) {
    surface.width = width;
    surface.height = height;
    surface.stride = 4 * width;
    pixelMemory.assign(static_cast<std::size_t>(surface.stride) * static_cast<std::size_t>(height), 0);
    surface.pixels = pixelMemory.data();
    startedSounds.reserve(16);
}

std::vector<std::string> takeStartedSounds() {
    std::vector<std::string> sounds;
    sounds.swap(startedSounds);
    return sounds;
}

SurfacePixels& hostSurface() {
    return surface;
}

// Frames are written on request at the end, so presenting has nothing to show.
void hostPresentSurface(const DirtyRegion&) {}

void hostPlaySound(const char* relativePath) {
    startedSounds.emplace_back(relativePath);
}
