#include "app/wayland/output_changes.h"

#include <utility>

#include "app/wayland/output_layout.h"
#include "app/wayland/output_registry.h"
#include "app/wayland/overlay_remap.h"
#include "app/wayland/overlay_surface.h"
#include "app/wayland/picture_growth.h"
#include "app/wayland/wayland_host.h"
#include "app/wayland/wayland_input.h"
#include "app/wayland/wayland_present.h"
#include "render/redraw.h"

namespace {

// The output's surface goes: a drag held on it ends first, as its release would.
void dropOutputSurface(OutputView& view) {
    letGoOfOutput(view);
    dropSurface(view);
}

// Applies what the compositor said of one output and its surface; true when its whole
// part is to be shown again.
bool settleOutput(OutputView& view) {
    const bool closed = std::exchange(view.closed, false);
    const bool placed = std::exchange(view.placed, false);
    const bool configureCame = std::exchange(view.configureCame, false) && !closed;
    if (view.gone) {
        dropOutputSurface(view);
        releaseOutput(view);
        return false;
    }
    if (closed) dropOutputSurface(view);
    if (placed && view.surface == nullptr) coverOutput(view);
    bool show = false;
    if (configureCame) {
        if (view.configureWidth == 0 || view.configureHeight == 0) {
            dropOutputSurface(view);
            return false;
        }
        view.place.width = view.configureWidth;
        view.place.height = view.configureHeight;
        view.place.configured = true;
        if (view.remapping) finishRemap(view);
        show = true;
    }
    // A surface that is to replace the old one takes the buffers at its first configure.
    const OutputFit fit = fitOutput(view.place);
    if (view.place.configured && !view.remapping && fit != view.fit) {
        if (!fitBuffers(view, fit)) {
            dropOutputSurface(view);
            return false;
        }
        show = true;
    }
    return show;
}

// Shows the output's whole part of the picture, clipped to the picture.
void showOutput(const OutputView& view) {
    const SurfacePixels& picture = wayland.picture.logical;
    const PixelRect part = intersectionOf(view.area, PixelRect{0, 0, picture.width, picture.height});
    if (!part.empty()) waylandPresent(regionOf(part));
}

}  // namespace

//------------------------------------------------------------------------------
// The picture only grows: where it cannot, the outputs are laid out in the box it has.
void applyOutputChanges() {
    if (!std::exchange(wayland.outputsChanged, false)) {
        return;
    }
    bool show[outputCapacity] = {};
    OutputPlace places[outputCapacity];
    for (int32_t i = 0; i < outputCapacity; ++i) {
        show[i] = settleOutput(wayland.outputs[i]);
        places[i] = wayland.outputs[i].place;
    }
    const PixelRect box = wayland.layout.box;
    OutputLayout next = layOutOutputs(places, grownBox(places, box), box);
    const bool grows = next.box != box;
    const bool grown = grows && growPicture(next);
    if (grows && !grown) next = layOutOutputs(places, box, box);
    wayland.layout = next;
    for (int32_t i = 0; i < outputCapacity; ++i) {
        OutputView& view = wayland.outputs[i];
        show[i] = show[i] || view.area != next.parts[i];
        view.area = next.parts[i];
    }
    if (!wayland.worldMade) {
        return;  // the world is made on the picture the opening leaves
    }
    if (grown) {
        showWholeScene();
        return;
    }
    for (int32_t i = 0; i < outputCapacity; ++i) {
        if (show[i] && wayland.outputs[i].place.configured) showOutput(wayland.outputs[i]);
    }
}
