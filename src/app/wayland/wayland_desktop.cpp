#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/linux_common/desktop.h"
#include "app/linux_common/single_toy.h"
#include "app/wayland/wayland_desktop.h"
#include "app/wayland/wayland_host.h"
#include "render/redraw.h"
#include "app/wayland/layer_shell.h"
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
    forgetOutput(name);
}

const wl_registry_listener registryListener = {
    .global = registryGlobal,
    .global_remove = registryGlobalRemove,
};

//------------------------------------------------------------------------------
// A surface on every output, each with its size from its first configure.
bool createOverlaySurfaces() {
    if (wl_display_roundtrip(wayland.display) < 0) {  // the outputs' positions
        return false;
    }
    coverOutputs();
    while (!outputsConfigured() && wayland.running) {
        if (wl_display_dispatch(wayland.display) < 0) {
            return false;
        }
    }
    return createPicture();
}

//------------------------------------------------------------------------------
// SIGINT and SIGTERM arrive through a descriptor the loop polls, so they end the
// loop like Escape. SIGPIPE is ignored: a compositor gone away is an error we read.
int signalDescriptor() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    signal(SIGPIPE, SIG_IGN);
    return signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
}

void lostConnection() {
    const int error = wl_display_get_error(wayland.display);
    char reason[160];
    std::snprintf(reason, sizeof reason, "lost the connection to the Wayland compositor (%s)",
                  std::strerror(error != 0 ? error : EPIPE));
    endProgram(1, reason);
}

// Dispatches the compositor's events, the signals and another start's request to
// end until something ends the program.
void runEventLoop(int signals) {
    pollfd watched[3] = {{.fd = wl_display_get_fd(wayland.display), .events = POLLIN, .revents = 0},
                         {.fd = signals, .events = POLLIN, .revents = 0},
                         {.fd = toyListener(), .events = POLLIN, .revents = 0}};
    while (wayland.running) {
        while (wl_display_prepare_read(wayland.display) != 0) {
            if (wl_display_dispatch_pending(wayland.display) < 0) {
                lostConnection();
                return;
            }
        }
        if (!wayland.running) {
            wl_display_cancel_read(wayland.display);
            break;
        }
        watched[0].events = POLLIN;
        if (wl_display_flush(wayland.display) < 0) {
            if (errno != EAGAIN) {
                wl_display_cancel_read(wayland.display);
                lostConnection();
                return;
            }
            watched[0].events |= POLLOUT;
        }
        if (poll(watched, 3, -1) < 0 && errno != EINTR) {
            wl_display_cancel_read(wayland.display);
            endProgram(1, "poll failed");
            return;
        }
        if ((watched[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            if (wl_display_read_events(wayland.display) < 0) {
                lostConnection();
                return;
            }
        } else {
            wl_display_cancel_read(wayland.display);
        }
        if (wl_display_dispatch_pending(wayland.display) < 0) {
            lostConnection();
            return;
        }
        commitWaitingPictures();  // a buffer may have come back
        if ((watched[1].revents & POLLIN) != 0 || ((watched[2].revents & POLLIN) != 0 && toyAskedToEnd())) {
            endProgram(0, nullptr);
        }
    }
    wl_display_flush(wayland.display);
}

}  // namespace

//------------------------------------------------------------------------------
void endProgram(int status, const char* reason) {
    if (reason != nullptr) {
        std::fprintf(stderr, "zimblet: %s\n", reason);
    }
    if (wayland.running) {
        wayland.exitStatus = status;
    }
    wayland.running = false;
}

//------------------------------------------------------------------------------
// Connects and makes an overlay on every output at the size the compositor gives
// it, with the picture over all of them and their buffers; 0 when the world can be made, else the exit status or
// a refusal.
int openWaylandDesktop() {
    wayland.display = wl_display_connect(nullptr);
    if (wayland.display == nullptr) {
        return waylandUnreachable;
    }
    wayland.xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    wayland.registry = wl_display_get_registry(wayland.display);
    wl_registry_add_listener(wayland.registry, &registryListener, nullptr);
    if (wl_display_roundtrip(wayland.display) < 0) {
        return waylandUnreachable;
    }
    if (wayland.layerShell == nullptr) {
        wl_display_disconnect(wayland.display);
        return waylandWithoutLayerShell;
    }
    if (wayland.compositor == nullptr || wayland.shm == nullptr || wayland.xkb == nullptr) {
        std::fprintf(stderr, "zimblet: the Wayland compositor lacks wl_compositor version %u or wl_shm\n",
                     compositorVersion);
        return 1;
    }
    wayland.signals = signalDescriptor();
    if (!createOverlaySurfaces()) {
        if (!wayland.running) {
            return wayland.exitStatus;
        }
        std::fprintf(stderr, "zimblet: the compositor gave the overlay no output with a size\n");
        return 1;
    }
    activeDesktop = &waylandDesktop;
    return 0;
}

//------------------------------------------------------------------------------
// Scatters the bricks over the primary output, shows them and plays until Escape, a
// signal or the compositor ends it.
DesktopOutcome runWaylandDesktop() {
    const int status = openWaylandDesktop();
    if (status == waylandUnreachable) return DesktopOutcome{DesktopOutcome::Unreachable, 1};
    if (status == waylandWithoutLayerShell) return DesktopOutcome{DesktopOutcome::WithoutLayerShell, 1};
    if (status != 0) return DesktopOutcome{DesktopOutcome::Ended, status};
    createWorldOnPrimary();
    showWholeScene();
    runEventLoop(wayland.signals);
    return DesktopOutcome{DesktopOutcome::Ended, wayland.exitStatus};
}
