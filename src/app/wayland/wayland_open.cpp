#include "app/wayland/wayland_open.h"

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cstring>

#include "app/linux_common/desktop.h"
#include "app/linux_common/event_loop.h"
#include "app/linux_common/report.h"
#include "app/wayland/layer_shell.h"
#include "app/wayland/output_changes.h"
#include "app/wayland/output_registry.h"
#include "app/wayland/overlay_surface.h"
#include "app/wayland/wayland_host.h"
#include "app/wayland/wayland_input.h"
#include "app/wayland/wayland_present.h"
#include "world/world.h"
#include "fractional-scale-v1-client-protocol.h"
#include "viewporter-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

WaylandHost wayland;

namespace {

const Desktop waylandDesktop = {.surface = waylandSurface, .present = waylandPresent};

// Versions this program speaks; a compositor offering less gets what it offers.
constexpr uint32_t compositorVersion = 4;  // wl_surface.damage_buffer
constexpr uint32_t seatVersion = 5;
constexpr uint32_t layerShellVersion = 3;  // nothing of version 4 is used
constexpr uint32_t outputManagerVersion = 2;  // its own done event, which version 3 drops

//------------------------------------------------------------------------------
void registryGlobal(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    if (std::strcmp(interface, wl_compositor_interface.name) == 0 && version >= compositorVersion) {
        wayland.compositor =
            static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, compositorVersion));
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
        wayland.shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && wayland.seat == nullptr && version >= 3) {
        wayland.seat = static_cast<wl_seat*>(
            wl_registry_bind(registry, name, &wl_seat_interface, std::min(version, seatVersion)));
        listenToSeat(wayland.seat);
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
        wayland.layerShell = static_cast<zwlr_layer_shell_v1*>(
            wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, std::min(version, layerShellVersion)));
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        bindOutput(name, version);
    } else if (std::strcmp(interface, wp_viewporter_interface.name) == 0) {
        wayland.viewporter =
            static_cast<wp_viewporter*>(wl_registry_bind(registry, name, &wp_viewporter_interface, 1));
    } else if (std::strcmp(interface, wp_fractional_scale_manager_v1_interface.name) == 0) {
        wayland.fractionalScaleManager = static_cast<wp_fractional_scale_manager_v1*>(
            wl_registry_bind(registry, name, &wp_fractional_scale_manager_v1_interface, 1));
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
        wayland.outputManager = static_cast<zxdg_output_manager_v1*>(wl_registry_bind(
            registry, name, &zxdg_output_manager_v1_interface, std::min(version, outputManagerVersion)));
        describeOutputs();
    }
}

void registryGlobalRemove(void*, wl_registry*, uint32_t name) {
    markOutputGone(name);
}

const wl_registry_listener registryListener = {
    .global = registryGlobal,
    .global_remove = registryGlobalRemove,
};

//------------------------------------------------------------------------------
// A surface on every output, each with its size from its first configure, and the
// picture over all of them.
bool createOverlaySurfaces() {
    if (wl_display_roundtrip(wayland.display) < 0) {  // the outputs' positions
        return false;
    }
    applyOutputChanges();
    while (!outputsConfigured()) {
        if (wl_display_dispatch(wayland.display) < 0) {
            return false;
        }
        applyOutputChanges();
    }
    return !wayland.layout.box.empty() && wayland.picture.memory != nullptr;
}

}  // namespace

//------------------------------------------------------------------------------
// The signals are caught only once the compositor is known to offer layer-shell:
// without it the program turns to X11, which catches them its own way.
WaylandOpening openWaylandDesktop() {
    wayland.display = wl_display_connect(nullptr);
    if (wayland.display == nullptr) {
        return WaylandOpening::Unreachable;
    }
    wayland.xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    wayland.registry = wl_display_get_registry(wayland.display);
    wl_registry_add_listener(wayland.registry, &registryListener, nullptr);
    if (wl_display_roundtrip(wayland.display) < 0) {
        return WaylandOpening::Unreachable;
    }
    if (wayland.layerShell == nullptr) {
        wl_display_disconnect(wayland.display);
        return WaylandOpening::WithoutLayerShell;
    }
    if (wayland.compositor == nullptr || wayland.shm == nullptr || wayland.xkb == nullptr) {
        report("the Wayland compositor lacks wl_compositor version %u or wl_shm", compositorVersion);
        return WaylandOpening::Failed;
    }
    if (!catchEndingSignals()) {
        return WaylandOpening::Failed;
    }
    if (!createOverlaySurfaces()) {
        report("the compositor gave the overlay no output with a size");
        return WaylandOpening::Failed;
    }
    activeDesktop = &waylandDesktop;
    return WaylandOpening::Opened;
}

//------------------------------------------------------------------------------
// The bricks are scattered from the primary output's corner.
void createWorldOnPrimary() {
    createWorld();
    const OutputLayout& layout = wayland.layout;
    if (layout.primary >= 0) shiftWorld(layout.parts[layout.primary].left, layout.parts[layout.primary].top);
    wayland.worldMade = true;
}
