#include "bench_world.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/memory/memory_host.h"
#include "render/redraw.h"
#include "world/world.h"

namespace {

std::vector<uint8_t> screen;  // what a double-buffered host shows: the dirty rectangles come over

// The host's part of a present that does not need a display: bringing the changed
// rows over into the buffer the screen is shown from.
void copyChangedRows(const DirtyRegion& changed) {
    const MemoryHost& host = memoryHost();
    for (int32_t i = 0; i < changed.count; ++i) {
        const PixelRect& rect = changed.rects[i];
        for (int32_t row = rect.top; row < rect.bottom; ++row) {
            const std::size_t at = static_cast<std::size_t>(row) * static_cast<std::size_t>(host.surface.stride) +
                                   4 * static_cast<std::size_t>(rect.left);
            std::memcpy(screen.data() + at, host.memory.data() + at, 4 * static_cast<std::size_t>(rect.width()));
        }
    }
}

}  // namespace

void prepareBenchWorld(int width, int height) {
    resetMemoryHost(width, height);
    memoryHost().keepSoundText = false;
    memoryHost().presentStep = copyChangedRows;
    screen.assign(memoryHost().memory.size(), 0);
    if (World.empty()) {
        std::srand(1);
        createWorld();
    }
    showWholeScene();
}
