// The picture over every output grows as outputs come and move: where it grows left
// or up the world moves along, so that nothing moves on the screen; a drag in
// progress ends first, as its release would.

#include "app/wayland/picture_growth.h"

#include <cstdlib>

#include "app/linux_common/report.h"
#include "app/wayland/wayland_host.h"
#include "app/wayland/wayland_input.h"
#include "world/world.h"

bool growPicture(const OutputLayout& next) {
    const int32_t width = next.box.width();
    const int32_t height = next.box.height();
    auto* pixels = static_cast<uint8_t*>(std::calloc(4 * static_cast<std::size_t>(width) * height, 1));
    if (pixels == nullptr) {
        report("no memory for a %dx%d picture: the new output stays bare", width, height);
        return false;
    }
    if (wayland.worldMade && (next.shiftX != 0 || next.shiftY != 0)) {
        endDragAsRelease();
        shiftWorld(next.shiftX, next.shiftY);
    }
    std::free(wayland.picture.pixels);
    wayland.picture = SurfacePixels{width, height, 4 * width, pixels};
    return true;
}
