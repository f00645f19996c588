#pragma once

// Zimblet on Wayland: the Linux program's desktop where the compositor offers
// layer-shell (sway and the other wlroots compositors, KDE's KWin). Every output gets
// an overlay-layer surface that shows its part of the one picture the core draws in
// logical pixels, each logical pixel a block of device pixels at the output's scale;
// its input region is exactly the bricks, so clicks beside them reach the windows
// beneath, and two shm buffers take only the changed rectangles. The listeners
// record what the compositor says; the loop applies it once after each dispatch.
// This record holds it all; up to eight outputs, one thread.
//
// What Wayland cannot do as Windows does, a client seeing only its own input:
//  - An event over a brick never reaches the window beneath: the core's Deliver and
//    Chain end here, for a wheel turn over a brick or the other button pressed
//    during a drag. Moves beside the bricks never reach us.
//  - Escape is seen only while a brick is held, when the surface takes the keyboard;
//    the window beneath sees a keyboard leave and enter around each drag.
//  - Where the compositor keeps the keyboard after the release (KWin 5.27), the
//    surface is replaced to hand it back, and a key typed in that moment may be lost.
//  - A brick dropped where no output shows it waits there until one covers it.
//  - libwayland-client allocates for every request it sends, on the move path too.

#include <cstdint>

#include "app/wayland/output_layout.h"
#include "app/wayland/shm_buffer.h"
#include "host/pixel_rect.h"
#include "host/surface_pixels.h"
#include "render/scaled_picture.h"

struct wl_display;
struct wl_registry;
struct wl_compositor;
struct wl_shm;
struct wl_seat;
struct wl_output;
struct wl_surface;
struct wl_region;
struct wl_pointer;
struct wl_keyboard;
struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;
struct wp_viewporter;
struct wp_viewport;
struct wp_fractional_scale_manager_v1;
struct wp_fractional_scale_v1;
struct xkb_context;
struct xkb_keymap;
struct xkb_state;

// Damage rectangles kept for a commit that has to wait for a free buffer; beyond
// this many they are merged into their bounds.
inline constexpr int32_t damageCapacity = 8;

// One output and the overlay surface that covers it. A slot is free while its
// output is null.
struct OutputView {
    wl_output* output = nullptr;
    uint32_t globalName = 0;
    zxdg_output_v1* xdgOutput = nullptr;

    // What the compositor said, recorded by the listeners for the loop to apply: the
    // position as of the last done; the size as of the last configure applied.
    OutputPlace place;
    int32_t pendingX = 0;  // the position and scale until the next done
    int32_t pendingY = 0;
    int32_t pendingScale = 1;
    bool placed = false;         // a done came: an output without a surface gets one
    bool configureCame = false;  // a configure of this size waits to be applied
    int32_t configureWidth = 0;
    int32_t configureHeight = 0;
    bool closed = false;  // the compositor took the surface away
    bool gone = false;    // the compositor took the output away

    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layerSurface = nullptr;
    wl_region* inputRegion = nullptr;
    wp_viewport* viewport = nullptr;
    wp_fractional_scale_v1* fractionalScale = nullptr;
    bool scaleToSend = true;    // the next commit sends the buffer scale or viewport
    bool surfaceShown = false;  // the surface has had a buffer
    bool remapping = false;     // a new surface waits for its first configure to replace the old
    wl_surface* retiredSurface = nullptr;  // the surface being replaced, shown until then
    zwlr_layer_surface_v1* retiredLayerSurface = nullptr;

    PixelRect area;  // where the surface lies in the picture
    OutputFit fit;   // the buffers' scale and device size
    ShmBuffer buffers[2];
    PixelRect damage[damageCapacity];
    int32_t damageCount = 0;
    bool commitWaiting = false;  // a picture is ready but both buffers are held
};

// The one record of the Wayland host.
struct WaylandHost {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    wl_seat* seat = nullptr;
    zwlr_layer_shell_v1* layerShell = nullptr;
    zxdg_output_manager_v1* outputManager = nullptr;
    wp_viewporter* viewporter = nullptr;
    wp_fractional_scale_manager_v1* fractionalScaleManager = nullptr;

    OutputView outputs[outputCapacity];
    uint32_t outputsAnnounced = 0;
    bool outputsChanged = false;  // a listener recorded what the loop has yet to apply
    // The layout in effect: the picture's box in the compositor's logical coordinates
    // (its top-left is the picture's 0,0), each output's part, the primary.
    OutputLayout layout;
    bool worldMade = false;

    ScaledPicture picture;  // what the core draws in, of its own memory; each output's buffers take their part

    wl_pointer* pointer = nullptr;
    OutputView* pointerOutput = nullptr;  // the surface the pointer is on, or held by
    wl_keyboard* keyboard = nullptr;
    xkb_context* xkb = nullptr;
    xkb_keymap* keymap = nullptr;
    xkb_state* keyState = nullptr;
    OutputView* keyboardTaken = nullptr;  // the surface that asked for the keyboard while a brick is held
    OutputView* keyboardFocus = nullptr;  // the surface the compositor's keyboard focus is on
    bool escapeHeld = false;              // Escape is down: the program ends at its release
};

extern WaylandHost wayland;
