#include "bench_host.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "host/host.h"
#include "render/redraw.h"
#include "world/world.h"

namespace {

SurfacePixels surface;
std::vector<uint8_t> memory;

}  // namespace

void prepareBenchWorld(int width, int height) {
    memory.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    surface = SurfacePixels{width, height, strideForWidth(width), memory.data()};
    if (World.empty()) {
        std::srand(1);
        createWorld();
    }
    showWholeScene();
}

SurfacePixels& benchSurface() {
    return surface;
}

SurfacePixels& hostSurface() {
    return surface;
}

void hostPresentSurface(const DirtyRegion&) {}

void hostPlaySound(const char*) {}
