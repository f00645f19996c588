// The outputs and the overlay surface on each: where each lies in the layout, the
// picture over all of them, and outputs that come, go and change.

#include <wayland-client.h>

#include <algorithm>
#include <cstdlib>

#include "app/linux_common/report.h"
#include "app/wayland/layer_shell.h"
#include "app/wayland/wayland_host.h"
#include "app/wayland/wayland_open.h"
#include "render/redraw.h"
#include "render/screen_scale.h"
#include "world/world.h"
#include "xdg-output-unstable-v1-client-protocol.h"

namespace {

constexpr uint32_t outputVersion = 3;  // wl_output.release

//------------------------------------------------------------------------------
// Brings the picture over every configured output. It only grows: an output that
// goes away leaves its part, and the bricks on it, for when it comes back. Where
// it grows left or up the world moves along, so that nothing moves on the screen;
// a drag in progress ends first, as its release would.
void fitLayout() {
    PixelRect grown = wayland.layout;
    for (const OutputView& view : wayland.outputs) {
        if (view.configured) {
            grown = unionOf(grown, PixelRect{view.x, view.y, view.x + view.width, view.y + view.height});
        }
    }
    if (grown == wayland.layout) {
        return;
    }
    const int32_t width = grown.width();
    const int32_t height = grown.height();
    auto* pixels = static_cast<uint8_t*>(std::calloc(4 * static_cast<std::size_t>(width) * height, 1));
    if (pixels == nullptr) {
        report("no memory for a %dx%d picture: the new output stays bare", width, height);
        return;
    }
    const int32_t dx = wayland.layout.empty() ? 0 : wayland.layout.left - grown.left;
    const int32_t dy = wayland.layout.empty() ? 0 : wayland.layout.top - grown.top;
    if (wayland.worldMade && (dx != 0 || dy != 0)) {
        endDragAsRelease();
        shiftWorld(dx, dy);
    }
    std::free(wayland.picture.pixels);
    wayland.picture = SurfacePixels{width, height, 4 * width, pixels};
    wayland.layout = grown;
    if (wayland.worldMade) {
        showWholeScene();
    }
}

// Shows the output's whole part of the picture, clipped to the picture.
void showOutput(const OutputView& view) {
    const PixelRect part = intersectionOf(view.area(), PixelRect{0, 0, wayland.picture.width, wayland.picture.height});
    if (!part.empty()) waylandPresent(regionOf(part));
}

// A surface's size or scale changed, or it has none yet: new buffers of its device
// size and an empty input region of its logical size.
bool sizeSurface(OutputView& view, int32_t width, int32_t height) {
    const int32_t scale = wantedScale(view);
    if (view.configured && width == view.width && height == view.height && scale == view.scale120) {
        return true;
    }
    const int32_t deviceWidth = toDevice(width, scale);
    const int32_t deviceHeight = toDevice(height, scale);
    for (ShmBuffer& buffer : view.buffers) {
        destroyShmBuffer(buffer);
        if (!createShmBuffer(buffer, wayland.shm, deviceWidth, deviceHeight, 4 * deviceWidth)) {
            report("no memory for a %dx%d buffer", deviceWidth, deviceHeight);
            return false;
        }
        buffer.stale = PixelRect{0, 0, width, height};
    }
    view.scale120 = scale;
    view.scaleToSend = true;
    wl_region_destroy(view.inputRegion);
    view.inputRegion = wl_compositor_create_region(wayland.compositor);
    view.width = width;
    view.height = height;
    view.damageCount = 0;
    return true;
}

void dropSurface(OutputView& view);

}  // namespace

//------------------------------------------------------------------------------
void rescaleOutput(OutputView& view) {
    if (!view.configured || wantedScale(view) == view.scale120) {
        return;
    }
    if (!sizeSurface(view, view.width, view.height)) {
        dropSurface(view);
        return;
    }
    if (wayland.worldMade) showOutput(view);
}

namespace {

//------------------------------------------------------------------------------
// Each configure gives the output's size: the first one makes the buffers, a new
// size new ones, and the output's part of the picture is shown whole. A new surface
// that replaces an old one shows the whole picture at its first configure before the
// old one goes.
void layerSurfaceConfigure(void* data, zwlr_layer_surface_v1* layerSurface, uint32_t serial, uint32_t width,
                           uint32_t height) {
    auto& view = *static_cast<OutputView*>(data);
    zwlr_layer_surface_v1_ack_configure(layerSurface, serial);
    if (width == 0 || height == 0 || !sizeSurface(view, static_cast<int32_t>(width), static_cast<int32_t>(height))) {
        dropSurface(view);
        return;
    }
    view.configured = true;
    if (view.remapping) {
        view.remapping = false;
        zwlr_layer_surface_v1_destroy(view.retiredLayerSurface);
        wl_surface_destroy(view.retiredSurface);
        view.retiredLayerSurface = nullptr;
        view.retiredSurface = nullptr;
        for (ShmBuffer& buffer : view.buffers) buffer.stale = PixelRect{0, 0, view.width, view.height};
    }
    if (wayland.worldMade) {
        fitLayout();
        showOutput(view);
    }
}

// The compositor takes the surface away (its output is going): the output shows
// nothing of ours until it is announced again.
void layerSurfaceClosed(void* data, zwlr_layer_surface_v1*) {
    dropSurface(*static_cast<OutputView*>(data));
}

const zwlr_layer_surface_v1_listener layerSurfaceListener = {
    .configure = layerSurfaceConfigure,
    .closed = layerSurfaceClosed,
};

// Over the whole output, on top of everything, taking no keyboard.
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

// An overlay-layer surface on the output, taking no input until the first picture
// brings its input region.
void coverOutput(OutputView& view) {
    view.surface = wl_compositor_create_surface(wayland.compositor);
    followSurfaceScale(view);
    view.inputRegion = wl_compositor_create_region(wayland.compositor);
    wl_surface_set_input_region(view.surface, view.inputRegion);
    view.layerSurface = makeLayerSurface(view, view.surface);
}

void dropSurface(OutputView& view) {
    if (view.surface == nullptr) {
        return;
    }
    if (wayland.pointerOutput == &view) {
        endDragAsRelease();
        wayland.pointerOutput = nullptr;
    }
    if (wayland.keyboardTaken == &view) wayland.keyboardTaken = nullptr;
    if (wayland.keyboardFocus == &view) wayland.keyboardFocus = nullptr;
    if (view.remapping) {
        zwlr_layer_surface_v1_destroy(view.retiredLayerSurface);
        wl_surface_destroy(view.retiredSurface);
    }
    forgetSurfaceScale(view);
    zwlr_layer_surface_v1_destroy(view.layerSurface);
    wl_surface_destroy(view.surface);
    wl_region_destroy(view.inputRegion);
    for (ShmBuffer& buffer : view.buffers) destroyShmBuffer(buffer);
    view.surface = nullptr;
    view.layerSurface = nullptr;
    view.inputRegion = nullptr;
    view.configured = false;
    view.width = view.height = 0;
    view.remapping = false;
    view.retiredSurface = nullptr;
    view.retiredLayerSurface = nullptr;
    view.damageCount = 0;
    view.commitWaiting = false;
}

//------------------------------------------------------------------------------
// The position comes with a done: then a new output gets its surface, and one that
// moved shows its new part of the picture.
void positionDone(OutputView& view) {
    const bool moved = view.described && (view.x != view.pendingX || view.y != view.pendingY);
    view.x = view.pendingX;
    view.y = view.pendingY;
    view.described = true;
    if (!wayland.worldMade) {
        return;  // the start covers every output described by then
    }
    if (view.surface == nullptr) {
        coverOutput(view);
    } else if (moved && view.configured) {
        fitLayout();
        showOutput(view);
    }
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
    view.outputScale = view.pendingOutputScale;
    rescaleOutput(view);
}

void outputScale(void* data, wl_output*, int32_t factor) {
    static_cast<OutputView*>(data)->pendingOutputScale = factor;
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
        return;  // beyond eight outputs, or one that never says it is done: left bare
    }
    slot->globalName = globalName;
    slot->announced = ++wayland.outputsAnnounced;
    slot->output = static_cast<wl_output*>(
        wl_registry_bind(wayland.registry, globalName, &wl_output_interface, std::min(version, outputVersion)));
    wl_output_add_listener(slot->output, &outputListener, slot);
    describeOutput(*slot);
}

void describeOutputs() {
    for (OutputView& view : wayland.outputs) describeOutput(view);
}

void forgetOutput(uint32_t globalName) {
    for (OutputView& view : wayland.outputs) {
        if (view.output != nullptr && view.globalName == globalName) {
            dropSurface(view);
            if (view.xdgOutput != nullptr) zxdg_output_v1_destroy(view.xdgOutput);
            if (wl_output_get_version(view.output) >= 3) {
                wl_output_release(view.output);
            } else {
                wl_output_destroy(view.output);
            }
            view = OutputView{};
        }
    }
}

void coverOutputs() {
    for (OutputView& view : wayland.outputs) {
        if (view.described && view.surface == nullptr) coverOutput(view);
    }
}

bool outputsConfigured() {
    return std::all_of(std::begin(wayland.outputs), std::end(wayland.outputs),
                       [](const OutputView& view) { return view.surface == nullptr || view.configured; });
}

OutputView* outputOf(wl_surface* surface) {
    for (OutputView& view : wayland.outputs) {
        if (surface != nullptr && (view.surface == surface || view.retiredSurface == surface)) return &view;
    }
    return nullptr;
}

//------------------------------------------------------------------------------
// The picture over every output that has its size, before the world is made.
bool createPicture() {
    fitLayout();
    return !wayland.layout.empty() && wayland.picture.pixels != nullptr;
}

//------------------------------------------------------------------------------
// The primary output is the one at the layout's top-left, or else the first one
// announced; the bricks are scattered from its corner.
void createWorldOnPrimary() {
    const OutputView* primary = nullptr;
    for (const OutputView& view : wayland.outputs) {
        if (!view.configured) continue;
        const bool atCorner = view.x == wayland.layout.left && view.y == wayland.layout.top;
        const bool primaryAtCorner = primary != nullptr && primary->x == wayland.layout.left &&
                                     primary->y == wayland.layout.top;
        if (primary == nullptr || (atCorner && !primaryAtCorner) ||
            (atCorner == primaryAtCorner && view.announced < primary->announced)) {
            primary = &view;
        }
    }
    createWorld();
    if (primary != nullptr) shiftWorld(primary->x - wayland.layout.left, primary->y - wayland.layout.top);
    wayland.worldMade = true;
}

//------------------------------------------------------------------------------
// Replaces the output's surface by a new one: the one thing found to make KWin 5.27
// hand the keyboard back to the user's window once a click on a brick gave it to us
// (an unmap and map of the same surface moved the keyboard but left the new picture
// unseen). The old surface stays until the new one shows the whole picture at its
// first configure, so the bricks never leave the screen.
void remapOverlay(OutputView& view) {
    view.retiredSurface = view.surface;
    view.retiredLayerSurface = view.layerSurface;
    view.surface = wl_compositor_create_surface(wayland.compositor);
    followSurfaceScale(view);
    view.layerSurface = makeLayerSurface(view, view.surface);
    view.remapping = true;  // its first configure shows the output's whole part
}
