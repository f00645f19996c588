// The picture over every output grows as outputs come and move: where it grows left
// or up the world moves along, so that nothing moves on the screen; a drag in
// progress ends first, as its release would.

#include "app/wayland/picture_growth.h"

#include "app/linux_common/report.h"
#include "app/wayland/wayland_host.h"
#include "app/wayland/wayland_input.h"
#include "render/scaled_picture.h"
#include "world/world.h"

bool growPicture(const OutputLayout& next) {
    ScaledPicture grown;
    if (!fitToSize(grown, next.box.width(), next.box.height())) {
        report("no memory for a %dx%d picture: the new output stays bare", next.box.width(), next.box.height());
        return false;
    }
    if (wayland.worldMade && (next.shiftX != 0 || next.shiftY != 0)) {
        endDragAsRelease();
        shiftWorld(next.shiftX, next.shiftY);
    }
    releasePicture(wayland.picture);
    wayland.picture = grown;
    return true;
}
