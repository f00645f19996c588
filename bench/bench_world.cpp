#include "bench_world.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/memory/memory_host.h"
#include "render/redraw.h"
#include "render/screen_scale.h"
#include "world/world.h"

namespace {

// What a double-buffered host shows, in device pixels: the dirty rectangles come over.
std::vector<uint8_t> screen;
SurfacePixels device;
int32_t deviceScale = kUnscaled;

// The host's part of a present that does not need a display: bringing the changed
// pixels over, each a block of the screen's scale, into the buffer the screen is
// shown from.
void copyChangedPixels(const DirtyRegion& changed) {
    for (int32_t i = 0; i < changed.count; ++i) {
        copyScaled(memoryHost().surface, changed.rects[i], deviceScale, 0, 0, device);
    }
}

}  // namespace

void prepareBenchWorld(int width, int height, int scale120) {
    resetMemoryHost(toLogical(width, scale120), toLogical(height, scale120));
    memoryHost().keepSoundText = false;
    memoryHost().presentStep = copyChangedPixels;
    screen.assign(4 * static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    device = SurfacePixels{width, height, 4 * width, screen.data()};
    deviceScale = scale120;
    if (World.empty()) {
        std::srand(1);
        createWorld();
    }
    showWholeScene();
}
