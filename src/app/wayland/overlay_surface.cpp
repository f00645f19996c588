// The overlay surface on each output: made once the output is placed, its buffers
// fitted to its size and scale, dropped when the compositor takes it or its output away.

#include "app/wayland/overlay_surface.h"

#include <wayland-client.h>

#include <algorithm>
#include <iterator>

#include "app/linux_common/report.h"
#include "app/wayland/layer_shell.h"
#include "app/wayland/layer_surface.h"
#include "app/wayland/overlay_remap.h"
#include "app/wayland/surface_scale.h"
#include "app/wayland/wayland_host.h"

void coverOutput(OutputView& view) {
    view.surface = wl_compositor_create_surface(wayland.compositor);
    followSurfaceScale(view);
    view.inputRegion = wl_compositor_create_region(wayland.compositor);
    wl_surface_set_input_region(view.surface, view.inputRegion);
    view.layerSurface = makeLayerSurface(view, view.surface);
}

//------------------------------------------------------------------------------
bool fitBuffers(OutputView& view, const OutputFit& fit) {
    for (ShmBuffer& buffer : view.buffers) {
        destroyShmBuffer(buffer);
        if (!createShmBuffer(buffer, wayland.shm, fit.deviceWidth, fit.deviceHeight, 4 * fit.deviceWidth)) {
            report("no memory for a %dx%d buffer", fit.deviceWidth, fit.deviceHeight);
            return false;
        }
        buffer.stale = PixelRect{0, 0, view.place.width, view.place.height};
    }
    view.fit = fit;
    view.scaleToSend = true;
    wl_region_destroy(view.inputRegion);
    view.inputRegion = wl_compositor_create_region(wayland.compositor);
    view.damageCount = 0;
    return true;
}

//------------------------------------------------------------------------------
void dropSurface(OutputView& view) {
    if (view.surface == nullptr) {
        return;
    }
    dropRetiredSurface(view);
    forgetSurfaceScale(view);
    zwlr_layer_surface_v1_destroy(view.layerSurface);
    wl_surface_destroy(view.surface);
    wl_region_destroy(view.inputRegion);
    for (ShmBuffer& buffer : view.buffers) destroyShmBuffer(buffer);
    view.surface = nullptr;
    view.layerSurface = nullptr;
    view.inputRegion = nullptr;
    view.place.configured = false;
    view.place.width = view.place.height = 0;
    view.fit = OutputFit{};
    view.damageCount = 0;
    view.commitWaiting = false;
}

//------------------------------------------------------------------------------
bool outputsConfigured() {
    return std::all_of(std::begin(wayland.outputs), std::end(wayland.outputs),
                       [](const OutputView& view) { return view.surface == nullptr || view.place.configured; });
}

OutputView* outputOf(wl_surface* surface) {
    for (OutputView& view : wayland.outputs) {
        if (surface != nullptr && (view.surface == surface || view.retiredSurface == surface)) return &view;
    }
    return nullptr;
}
