#include "app/wayland/wayland_present.h"

#include <wayland-client.h>

#include "app/wayland/surface_scale.h"
#include "app/wayland/wayland_host.h"
#include "render/redraw.h"
#include "render/scaled_picture.h"
#include "render/screen_scale.h"
#include "world/world.h"

namespace {

void addDamage(OutputView& view, const PixelRect& rect) {
    if (view.damageCount == damageCapacity) {
        PixelRect all;
        for (const PixelRect& kept : view.damage) all = unionOf(all, kept);
        view.damage[0] = unionOf(all, rect);
        view.damageCount = 1;
        return;
    }
    view.damage[view.damageCount++] = rect;
}

// Inside the rectangle (in the picture) the output's input region becomes exactly
// the units' hit footprints, in its surface's coordinates.
void mendInputRegion(OutputView& view, const PixelRect& rect, const PixelRect& area) {
    wl_region_subtract(view.inputRegion, rect.left - area.left, rect.top - area.top, rect.width(), rect.height());
    for (const BrickUnit* unit : World) {
        const PixelRect hit = hitFootprint(*unit, rect);
        if (!hit.empty()) {
            wl_region_add(view.inputRegion, hit.left - area.left, hit.top - area.top, hit.width(), hit.height());
        }
    }
}

ShmBuffer* freeBuffer(OutputView& view) {
    for (ShmBuffer& buffer : view.buffers) {
        if (!buffer.busy) return &buffer;
    }
    return nullptr;
}

// The input region is set in the same commit as the pixels it belongs to, so a
// press never meets a region that lags the picture.
void commitWaitingPicture(OutputView& view) {
    // A replaced surface takes no buffer before its first configure, which commits it.
    if (!view.commitWaiting || view.remapping || !view.place.configured) {
        return;
    }
    ShmBuffer* buffer = freeBuffer(view);
    if (buffer == nullptr) {
        return;  // the next release brings us back
    }
    const PixelRect area = view.area;
    if (!buffer->stale.empty()) {
        const PixelRect& stale = buffer->stale;
        SurfacePixels device{view.fit.deviceWidth, view.fit.deviceHeight, buffer->stride, buffer->pixels};
        bringToDevice(wayland.picture,
                      PixelRect{stale.left + area.left, stale.top + area.top, stale.right + area.left,
                                stale.bottom + area.top},
                      device, view.fit.per120, area.left, area.top);
        buffer->stale = PixelRect{};
    }
    sendSurfaceScale(view);
    wl_surface_attach(view.surface, buffer->buffer, 0, 0);
    for (int32_t i = 0; i < view.damageCount; ++i) {
        const PixelRect rect = toDevice(view.damage[i], view.fit.per120);
        wl_surface_damage_buffer(view.surface, rect.left, rect.top, rect.width(), rect.height());
    }
    view.damageCount = 0;
    wl_surface_set_input_region(view.surface, view.inputRegion);
    wl_surface_commit(view.surface);
    buffer->busy = true;
    view.commitWaiting = false;
}

}  // namespace

//------------------------------------------------------------------------------
SurfacePixels& waylandSurface() {
    return wayland.picture.logical;
}

//------------------------------------------------------------------------------
void commitWaitingPictures() {
    for (OutputView& view : wayland.outputs) {
        if (view.surface != nullptr) commitWaitingPicture(view);
    }
}

//------------------------------------------------------------------------------
// Each changed rectangle goes to the outputs it touches, in their own coordinates.
void waylandPresent(const DirtyRegion& changed) {
    for (OutputView& view : wayland.outputs) {
        if (view.surface == nullptr || !view.place.configured) {
            continue;
        }
        const PixelRect area = view.area;
        for (int32_t i = 0; i < changed.count; ++i) {
            const PixelRect rect = intersectionOf(changed.rects[i], area);
            if (rect.empty()) {
                continue;
            }
            mendInputRegion(view, rect, area);
            const PixelRect local{rect.left - area.left, rect.top - area.top, rect.right - area.left,
                                  rect.bottom - area.top};
            addDamage(view, local);
            for (ShmBuffer& buffer : view.buffers) {
                buffer.stale = unionOf(buffer.stale, local);
            }
            view.commitWaiting = true;
        }
        commitWaitingPicture(view);
    }
}
