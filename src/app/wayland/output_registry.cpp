// The outputs the compositor announces: each bound, its position and integer scale
// recorded at each done, and let go of once it goes.

#include "app/wayland/output_registry.h"

#include <wayland-client.h>

#include <algorithm>
#include <iterator>

#include "app/wayland/wayland_host.h"
#include "xdg-output-unstable-v1-client-protocol.h"

namespace {

constexpr uint32_t outputVersion = 3;  // wl_output.release

// The position comes with a done; an output without a surface gets one then.
void positionDone(OutputView& view) {
    view.place.x = view.pendingX;
    view.place.y = view.pendingY;
    view.placed = true;
    wayland.outputsChanged = true;
}

void outputGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t, const char*, const char*,
                    int32_t) {
    auto& view = *static_cast<OutputView*>(data);
    if (view.xdgOutput == nullptr) {
        view.pendingX = x;
        view.pendingY = y;
    }
}

void outputMode(void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {}

void outputDone(void* data, wl_output*) {
    auto& view = *static_cast<OutputView*>(data);
    if (view.xdgOutput == nullptr) positionDone(view);
    view.place.scale = view.pendingScale;
    wayland.outputsChanged = true;
}

void outputScale(void* data, wl_output*, int32_t factor) {
    static_cast<OutputView*>(data)->pendingScale = factor;
}

const wl_output_listener outputListener = {
    .geometry = outputGeometry,
    .mode = outputMode,
    .done = outputDone,
    .scale = outputScale,
#ifdef WL_OUTPUT_NAME_SINCE_VERSION
    .name = nullptr,  // not sent below version 4
    .description = nullptr,
#endif
};

void xdgOutputPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y) {
    auto& view = *static_cast<OutputView*>(data);
    view.pendingX = x;
    view.pendingY = y;
}

void xdgOutputSize(void*, zxdg_output_v1*, int32_t, int32_t) {}

void xdgOutputDone(void* data, zxdg_output_v1*) {
    positionDone(*static_cast<OutputView*>(data));
}

void xdgOutputName(void*, zxdg_output_v1*, const char*) {}
void xdgOutputDescription(void*, zxdg_output_v1*, const char*) {}

const zxdg_output_v1_listener xdgOutputListener = {
    .logical_position = xdgOutputPosition,
    .logical_size = xdgOutputSize,
    .done = xdgOutputDone,
    .name = xdgOutputName,
    .description = xdgOutputDescription,
};

void describeOutput(OutputView& view) {
    if (wayland.outputManager != nullptr && view.output != nullptr && view.xdgOutput == nullptr) {
        view.xdgOutput = zxdg_output_manager_v1_get_xdg_output(wayland.outputManager, view.output);
        zxdg_output_v1_add_listener(view.xdgOutput, &xdgOutputListener, &view);
    }
}

}  // namespace

//------------------------------------------------------------------------------
void bindOutput(uint32_t globalName, uint32_t version) {
    OutputView* slot = std::find_if(std::begin(wayland.outputs), std::end(wayland.outputs),
                                    [](const OutputView& view) { return view.output == nullptr; });
    if (slot == std::end(wayland.outputs) || version < 2) {
        return;
    }
    slot->globalName = globalName;
    slot->place.announced = ++wayland.outputsAnnounced;
    slot->output = static_cast<wl_output*>(
        wl_registry_bind(wayland.registry, globalName, &wl_output_interface, std::min(version, outputVersion)));
    wl_output_add_listener(slot->output, &outputListener, slot);
    describeOutput(*slot);
}

void describeOutputs() {
    for (OutputView& view : wayland.outputs) describeOutput(view);
}

void markOutputGone(uint32_t globalName) {
    for (OutputView& view : wayland.outputs) {
        if (view.output != nullptr && view.globalName == globalName) {
            view.gone = true;
            wayland.outputsChanged = true;
        }
    }
}

void releaseOutput(OutputView& view) {
    if (view.xdgOutput != nullptr) zxdg_output_v1_destroy(view.xdgOutput);
    if (wl_output_get_version(view.output) >= 3) {
        wl_output_release(view.output);
    } else {
        wl_output_destroy(view.output);
    }
    view = OutputView{};
}
