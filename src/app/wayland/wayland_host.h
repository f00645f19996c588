#pragma once

// Zimblet on Wayland: the program around the portable core for compositors that
// offer layer-shell (sway and other wlroots compositors, KDE's KWin).
//
// Implemented:
//  [x] One surface on the overlay layer of every output, anchored to all four edges
//      with exclusive zone -1. The outputs are placed by their logical positions
//      (xdg-output, or wl_output's geometry where it is missing) and the sizes their
//      surfaces' configures give; the core sees one picture over the bounding box of
//      every output seen since the start, and each surface shows its part of it.
//  [x] The bricks start on the primary output: the one at the layout's top-left,
//      or else the first one announced.
//  [x] Outputs come and go: a new one gets its surface at once; one that goes takes
//      its surface along, its bricks staying in the world (they show again when it
//      comes back); a drag whose output goes away ends as its release would. A
//      change of an output's position or size is followed. Where the layout grows
//      left or up, the world moves with the picture's origin, so every brick stays
//      where it lies on the screen.
//  [x] Two ARGB8888 shm buffers per surface (the core's premultiplied BGRA bytes as
//      they are); the core draws into its own picture, and a present brings the
//      changed rectangles over into a buffer of each output they touch that the
//      compositor does not hold, damages just those rectangles, and commits that
//      output's input region with it.
//  [x] Scaled outputs: the core draws in logical pixels and each output's buffers
//      are of its device size, every logical pixel a block of device pixels,
//      nearest neighbour (render/screen_scale.h). A whole scale (wl_output.scale, or
//      the fractional-scale protocol's preferred scale where it is whole) goes by
//      the buffer scale. A fractional one (1.25, 1.5) goes by a viewport whose
//      destination is the surface's logical size, the buffer at device size: at 1.5
//      the logical pixels alternate one and two device pixels wide, and every edge
//      stays sharp. Of the other ways, looked at under sway 1.10 at 1.5, a buffer at
//      scale 2 that the compositor brings down to 1.5 blurs the brick outlines into
//      grey fringes, and a buffer at scale 1 that it enlarges blends outlines, studs
//      and faces. Input regions and pointer positions stay in logical pixels.
//  [x] Input regions: exactly the points where the hit test finds a unit, one
//      wl_region per surface that each present mends inside the changed rectangles.
//  [x] Pointer enter, motion, button and axis events feed the core's mouse handling,
//      their surface positions moved by that surface's place in the picture; the
//      implicit grab of a held button keeps the drag's events coming from the surface
//      where the press began, beyond its edges too, so a brick crosses to the next
//      output and snaps there.
//  [x] Keyboard interactivity off while nothing is held; while a brick is held the
//      surface where the press began takes the keyboard (exclusive) and Escape ends
//      the program with 0 at its release (so the window beneath never sees half of
//      it); it is given back at the button's release.
//  [x] Where the compositor keeps the keyboard on a surface after the release
//      (KWin 5.27 gives it to us at any click on a brick), that surface is replaced
//      by a new one, which hands the keyboard back to the user's window.
//  [x] SIGINT, SIGTERM, another start and `zimblet --quit` end it with 0; the
//      connection lost ends it with 1, with a line on stderr.
//
// The core's answers on Wayland. The compositor, not this program, routes every
// event, by the input regions and by its grabs:
//  - Swallow: the event arrived here because the pointer was over a brick (inside
//    an input region) or because a button of ours is held; nobody else sees it.
//  - Deliver and Chain: only for events outside the bricks, which the input region
//    already sent to the window beneath; when one reaches us (a wheel over a brick,
//    the other button pressed while a drag holds the implicit grab) it cannot be
//    handed on and ends here.
// What Wayland cannot reproduce:
//  - An event over a brick is never seen by the window beneath, and moves beside the
//    bricks are never seen by us (the core needs them only while holding).
//  - The other button pressed during a drag, and the wheel over a brick, stay with
//    the overlay instead of reaching the window beneath.
//  - Escape is seen only while a brick is held: a client sees no keys of other
//    windows.
//  - Taking the keyboard for a drag gives the window beneath a keyboard leave and a
//    new enter at the release, as any focus change does.
//  - A brick dropped where no output shows it (in a gap of an uneven layout) stays
//    there, out of reach, until an output covers that place.
//  - On KWin a key typed in the moment between a drop and the new overlay may be
//    lost to the old one.
//  - The move path allocates nothing of its own, but libwayland-client allocates
//    and frees one closure for every request it marshals.
// Limits: eight outputs at once; one thread; nothing is released at the end but
// what the process end releases.
// Links: libwayland-client, libxkbcommon; protocol code generated by wayland-scanner.

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
