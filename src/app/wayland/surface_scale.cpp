// The scale of each output's surface: the compositor's preferred fractional scale
// recorded, and the buffer scale or the viewport's destination sent with the buffers
// that have it (output_layout.h works out which).

#include "app/wayland/surface_scale.h"

#include <wayland-client.h>

#include "app/wayland/wayland_host.h"
#include "fractional-scale-v1-client-protocol.h"
#include "render/screen_scale.h"
#include "viewporter-client-protocol.h"

namespace {

// KWin prefers 1 for a surface it has not shown yet, on no output, and the output's
// scale once it is shown: until then that 1 is not taken, so that a surface on a
// scaled output does not begin with a picture the compositor must enlarge.
void preferredScale(void* data, wp_fractional_scale_v1*, uint32_t scale) {
    auto& view = *static_cast<OutputView*>(data);
    if (scale == kUnscaled && !view.surfaceShown) {
        return;
    }
    view.place.preferred120 = static_cast<int32_t>(scale);
    wayland.outputsChanged = true;
}

const wp_fractional_scale_v1_listener fractionalScaleListener = {
    .preferred_scale = preferredScale,
};

}  // namespace

//------------------------------------------------------------------------------
void followSurfaceScale(OutputView& view) {
    forgetSurfaceScale(view);
    view.scaleToSend = true;
    view.surfaceShown = false;
    if (wayland.viewporter == nullptr || wayland.fractionalScaleManager == nullptr) {
        return;  // whole scales only, from the output
    }
    view.viewport = wp_viewporter_get_viewport(wayland.viewporter, view.surface);
    view.fractionalScale = wp_fractional_scale_manager_v1_get_fractional_scale(wayland.fractionalScaleManager,
                                                                               view.surface);
    wp_fractional_scale_v1_add_listener(view.fractionalScale, &fractionalScaleListener, &view);
}

// A surface being replaced is never committed again: it keeps its viewport's state.
void forgetSurfaceScale(OutputView& view) {
    if (view.viewport != nullptr) wp_viewport_destroy(view.viewport);
    if (view.fractionalScale != nullptr) wp_fractional_scale_v1_destroy(view.fractionalScale);
    view.viewport = nullptr;
    view.fractionalScale = nullptr;
    view.place.preferred120 = 0;
}

void sendSurfaceScale(OutputView& view) {
    view.surfaceShown = true;
    if (!view.scaleToSend) {
        return;
    }
    view.scaleToSend = false;
    wl_surface_set_buffer_scale(view.surface, view.fit.bufferScale);
    if (view.viewport != nullptr) {
        wp_viewport_set_destination(view.viewport, view.fit.viewportWidth, view.fit.viewportHeight);
    }
}
