#include "app/memory/memory_host.h"

#include "host/host.h"

MemoryHost& memoryHost() {
    static MemoryHost host;
    return host;
}

void resetMemoryHost(int width, int height) {
    MemoryHost& host = memoryHost();
    host = MemoryHost{};
    host.memory.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    host.surface = SurfacePixels{width, height, 4 * width, host.memory.empty() ? nullptr : host.memory.data()};
}

SurfacePixels& hostSurface() {
    return memoryHost().surface;
}

void hostPresentSurface(const DirtyRegion& changed) {
    MemoryHost& host = memoryHost();
    ++host.presentCount;
    host.lastRegion = changed;
    if (host.presentStep != nullptr) host.presentStep(changed);
}

void hostPlaySound(const char* relativePath) {
    MemoryHost& host = memoryHost();
    ++host.soundCount;
    if (host.keepSoundText) host.sounds.emplace_back(relativePath);
}
