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

#include "app/linux/desktop.h"
#include "app/linux/single_toy.h"
#include "app/wayland/wayland_desktop.h"
#include "app/wayland/wayland_host.h"
#include "render/redraw.h"
#include "app/wayland/layer_shell.h"
#include "world/world.h"

WaylandHost wayland;

namespace {

const Desktop waylandDesktop = {.surface = waylandSurface, .present = waylandPresent};

// Versions this program speaks; a compositor offering less gets what it offers.
constexpr uint32_t compositorVersion = 4;  // wl_surface.damage_buffer
constexpr uint32_t seatVersion = 5;
constexpr uint32_t layerShellVersion = 3;  // nothing of version 4 is used

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
    }
}

void registryGlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener registryListener = {
    .global = registryGlobal,
    .global_remove = registryGlobalRemove,
};

//------------------------------------------------------------------------------
// The first configure gives the size the world is made for; later ones are only
// acknowledged, as the surface keeps covering the output it was given. After a
// remap the whole picture is shown again.
void layerSurfaceConfigure(void*, zwlr_layer_surface_v1* layerSurface, uint32_t serial, uint32_t width,
                           uint32_t height) {
    zwlr_layer_surface_v1_ack_configure(layerSurface, serial);
    if (!wayland.configured) {
        wayland.width = static_cast<int32_t>(width);
        wayland.height = static_cast<int32_t>(height);
        wayland.configured = true;
    }
    if (wayland.remapping) {
        wayland.remapping = false;
        wayland.damage[0] = PixelRect{0, 0, wayland.width, wayland.height};
        wayland.damageCount = 1;
        wayland.commitWaiting = true;
        commitWaitingPicture();
        zwlr_layer_surface_v1_destroy(wayland.retiredLayerSurface);
        wl_surface_destroy(wayland.retiredSurface);
        wayland.retiredLayerSurface = nullptr;
        wayland.retiredSurface = nullptr;
    }
}

void layerSurfaceClosed(void*, zwlr_layer_surface_v1*) {
    endProgram(1, "the compositor closed the overlay");
}

const zwlr_layer_surface_v1_listener layerSurfaceListener = {
    .configure = layerSurfaceConfigure,
    .closed = layerSurfaceClosed,
};

//------------------------------------------------------------------------------
// Over the whole output, on top of everything, taking no keyboard.
void describeOverlay() {
    zwlr_layer_surface_v1_set_anchor(wayland.layerSurface,
                                     ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                         ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_size(wayland.layerSurface, 0, 0);
    zwlr_layer_surface_v1_set_exclusive_zone(wayland.layerSurface, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(wayland.layerSurface,
                                                     ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
}

// An overlay-layer surface taking no input until the first picture brings its
// input region.
bool createOverlaySurface() {
    wayland.surface = wl_compositor_create_surface(wayland.compositor);
    wayland.layerSurface = zwlr_layer_shell_v1_get_layer_surface(
        wayland.layerShell, wayland.surface, nullptr, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "zimblet");
    describeOverlay();
    zwlr_layer_surface_v1_add_listener(wayland.layerSurface, &layerSurfaceListener, nullptr);
    wayland.inputRegion = wl_compositor_create_region(wayland.compositor);
    wl_surface_set_input_region(wayland.surface, wayland.inputRegion);
    wl_surface_commit(wayland.surface);

    while (!wayland.configured && wayland.running) {
        if (wl_display_dispatch(wayland.display) < 0) {
            return false;
        }
    }
    return wayland.configured && wayland.width > 0 && wayland.height > 0;
}

// The picture the core draws into and the two buffers it is copied to.
bool createPicture() {
    SurfacePixels& picture = wayland.picture;
    picture.width = wayland.width;
    picture.height = wayland.height;
    picture.stride = 4 * wayland.width;
    picture.pixels = static_cast<uint8_t*>(
        std::calloc(static_cast<std::size_t>(picture.stride) * static_cast<std::size_t>(picture.height), 1));
    if (picture.pixels == nullptr) {
        return false;
    }
    for (ShmBuffer& buffer : wayland.buffers) {
        if (!createShmBuffer(buffer, wayland.shm, picture.width, picture.height, picture.stride)) {
            return false;
        }
    }
    return true;
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
        commitWaitingPicture();  // a buffer may have come back
        if ((watched[1].revents & POLLIN) != 0 || ((watched[2].revents & POLLIN) != 0 && toyAskedToEnd())) {
            endProgram(0, nullptr);
        }
    }
    wl_display_flush(wayland.display);
}

}  // namespace

//------------------------------------------------------------------------------
// Replaces the overlay by a new one: the one thing found to make KWin 5.27 hand
// the keyboard back to the user's window once a click on a brick gave it to us
// (an unmap and map of the same surface moved the keyboard but left the new
// picture unseen). The old overlay stays until the new one shows the whole
// picture at its first configure, so the bricks never leave the screen.
void remapOverlay() {
    wayland.retiredSurface = wayland.surface;
    wayland.retiredLayerSurface = wayland.layerSurface;
    for (ShmBuffer& buffer : wayland.buffers) {
        buffer.stale = PixelRect{0, 0, wayland.width, wayland.height};
    }
    wayland.surface = wl_compositor_create_surface(wayland.compositor);
    wayland.layerSurface = zwlr_layer_shell_v1_get_layer_surface(
        wayland.layerShell, wayland.surface, nullptr, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "zimblet");
    describeOverlay();
    zwlr_layer_surface_v1_add_listener(wayland.layerSurface, &layerSurfaceListener, nullptr);
    wl_surface_commit(wayland.surface);
    wayland.remapping = true;
}

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
// Connects and makes the overlay at the size the compositor gives it, with the
// picture and its buffers; 0 when the world can be made, else the exit status or
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
    if (!createOverlaySurface()) {
        if (!wayland.running) {
            return wayland.exitStatus;
        }
        std::fprintf(stderr, "zimblet: the compositor gave the overlay no size\n");
        return 1;
    }
    if (!createPicture()) {
        std::fprintf(stderr, "zimblet: no memory for a %dx%d picture\n", wayland.width, wayland.height);
        return 1;
    }
    activeDesktop = &waylandDesktop;
    return 0;
}

//------------------------------------------------------------------------------
// Scatters the bricks over the overlay, shows them and plays until Escape, a
// signal or the compositor ends it.
int runWaylandDesktop() {
    const int status = openWaylandDesktop();
    if (status != 0) {
        return status;
    }
    createWorld();
    showWholeScene();
    runEventLoop(wayland.signals);
    return wayland.exitStatus;
}
