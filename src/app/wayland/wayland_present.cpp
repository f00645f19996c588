#include <wayland-client.h>

#include "app/wayland/wayland_host.h"
#include "render/redraw.h"
#include "world/world.h"

namespace {

void addDamage(const PixelRect& rect) {
    if (wayland.damageCount == damageCapacity) {
        PixelRect all;
        for (const PixelRect& kept : wayland.damage) all = unionOf(all, kept);
        wayland.damage[0] = unionOf(all, rect);
        wayland.damageCount = 1;
        return;
    }
    wayland.damage[wayland.damageCount++] = rect;
}

// Inside the rectangle the input region becomes exactly the units' hit footprints.
void mendInputRegion(const PixelRect& rect) {
    wl_region_subtract(wayland.inputRegion, rect.left, rect.top, rect.width(), rect.height());
    for (const BrickUnit* unit : World) {
        const PixelRect hit = hitFootprint(*unit, rect);
        if (!hit.empty()) {
            wl_region_add(wayland.inputRegion, hit.left, hit.top, hit.width(), hit.height());
        }
    }
}

ShmBuffer* freeBuffer() {
    for (ShmBuffer& buffer : wayland.buffers) {
        if (!buffer.busy) return &buffer;
    }
    return nullptr;
}

}  // namespace

//------------------------------------------------------------------------------
SurfacePixels& waylandSurface() {
    return wayland.picture;
}

//------------------------------------------------------------------------------
// The input region is set in the same commit as the pixels it belongs to, so a
// press never meets a region that lags the picture.
void commitWaitingPicture() {
    // A replaced overlay takes no buffer before its first configure, which commits it.
    if (!wayland.commitWaiting || wayland.remapping) {
        return;
    }
    ShmBuffer* buffer = freeBuffer();
    if (buffer == nullptr) {
        return;  // the next release brings us back
    }
    if (!buffer->stale.empty()) {
        copyRect(*buffer, wayland.picture.pixels, wayland.picture.stride, buffer->stale);
        buffer->stale = PixelRect{};
    }
    wl_surface_attach(wayland.surface, buffer->buffer, 0, 0);
    for (int32_t i = 0; i < wayland.damageCount; ++i) {
        const PixelRect& rect = wayland.damage[i];
        wl_surface_damage_buffer(wayland.surface, rect.left, rect.top, rect.width(), rect.height());
    }
    wayland.damageCount = 0;
    wl_surface_set_input_region(wayland.surface, wayland.inputRegion);
    wl_surface_commit(wayland.surface);
    buffer->busy = true;
    wayland.commitWaiting = false;
}

//------------------------------------------------------------------------------
void waylandPresent(const DirtyRegion& changed) {
    if (changed.count == 0 || wayland.surface == nullptr) {
        return;
    }
    for (int32_t i = 0; i < changed.count; ++i) {
        const PixelRect& rect = changed.rects[i];
        mendInputRegion(rect);
        addDamage(rect);
        for (ShmBuffer& buffer : wayland.buffers) {
            buffer.stale = unionOf(buffer.stale, rect);
        }
    }
    wayland.commitWaiting = true;
    commitWaitingPicture();
}
