#include "app/wayland/layer_surface.h"

#include "app/wayland/layer_shell.h"
#include "app/wayland/wayland_host.h"

namespace {

// The configure is acknowledged at once; the size it gives waits for the loop.
void layerSurfaceConfigure(void* data, zwlr_layer_surface_v1* layerSurface, uint32_t serial, uint32_t width,
                           uint32_t height) {
    auto& view = *static_cast<OutputView*>(data);
    zwlr_layer_surface_v1_ack_configure(layerSurface, serial);
    view.configureCame = true;
    view.configureWidth = static_cast<int32_t>(width);
    view.configureHeight = static_cast<int32_t>(height);
    wayland.outputsChanged = true;
}

// The compositor takes the surface away (its output is going).
void layerSurfaceClosed(void* data, zwlr_layer_surface_v1*) {
    static_cast<OutputView*>(data)->closed = true;
    wayland.outputsChanged = true;
}

const zwlr_layer_surface_v1_listener layerSurfaceListener = {
    .configure = layerSurfaceConfigure,
    .closed = layerSurfaceClosed,
};

}  // namespace

//------------------------------------------------------------------------------
zwlr_layer_surface_v1* makeLayerSurface(OutputView& view, wl_surface* surface) {
    zwlr_layer_surface_v1* layerSurface = zwlr_layer_shell_v1_get_layer_surface(
        wayland.layerShell, surface, view.output, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "zimblet");
    zwlr_layer_surface_v1_set_anchor(layerSurface,
                                     ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                         ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_size(layerSurface, 0, 0);
    zwlr_layer_surface_v1_set_exclusive_zone(layerSurface, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(layerSurface, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
    zwlr_layer_surface_v1_add_listener(layerSurface, &layerSurfaceListener, &view);
    wl_surface_commit(surface);
    return layerSurface;
}
