#include "bench_host.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/host.h"
#include "render/redraw.h"
#include "world/world.h"

namespace {

SurfacePixels surface;
std::vector<uint8_t> memory;
std::vector<uint8_t> screen;  // what a double-buffered host shows: the dirty rectangles come over

}  // namespace

void prepareBenchWorld(int width, int height) {
    memory.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    screen.assign(memory.size(), 0);
    surface = SurfacePixels{width, height, 4 * width, memory.data()};
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

// The host's part of a present that does not need a display: bringing the changed
// rows over into the buffer the screen is shown from.
void hostPresentSurface(const DirtyRegion& changed) {
    for (int32_t i = 0; i < changed.count; ++i) {
        const PixelRect& rect = changed.rects[i];
        for (int32_t row = rect.top; row < rect.bottom; ++row) {
            const std::size_t at = static_cast<std::size_t>(row) * static_cast<std::size_t>(surface.stride) +
                                   4 * static_cast<std::size_t>(rect.left);
            std::memcpy(screen.data() + at, memory.data() + at, 4 * static_cast<std::size_t>(rect.width()));
        }
    }
}

void hostPlaySound(const char*) {}
