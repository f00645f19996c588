// Replacing an output's surface by a new one: the one thing found to make KWin 5.27
// hand the keyboard back to the user's window once a click on a brick gave it to us
// (an unmap and map of the same surface moved the keyboard but left the new picture
// unseen). The old surface stays until the new one shows the whole picture at its
// first configure, so the bricks never leave the screen.

#include "app/wayland/overlay_remap.h"

#include <wayland-client.h>

#include "app/wayland/layer_shell.h"
#include "app/wayland/layer_surface.h"
#include "app/wayland/surface_scale.h"
#include "app/wayland/wayland_host.h"

void remapOverlay(OutputView& view) {
    view.retiredSurface = view.surface;
    view.retiredLayerSurface = view.layerSurface;
    view.surface = wl_compositor_create_surface(wayland.compositor);
    followSurfaceScale(view);
    view.layerSurface = makeLayerSurface(view, view.surface);
    view.remapping = true;
}

void finishRemap(OutputView& view) {
    dropRetiredSurface(view);
    for (ShmBuffer& buffer : view.buffers) buffer.stale = PixelRect{0, 0, view.place.width, view.place.height};
}

void dropRetiredSurface(OutputView& view) {
    if (view.remapping) {
        zwlr_layer_surface_v1_destroy(view.retiredLayerSurface);
        wl_surface_destroy(view.retiredSurface);
    }
    view.remapping = false;
    view.retiredSurface = nullptr;
    view.retiredLayerSurface = nullptr;
}
