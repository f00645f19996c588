#pragma once

// How the Wayland desktop comes up: the runner's first step, and the damage bench's.

// How the opening went.
enum class WaylandOpening {
    Opened,             // the overlays, the picture and their buffers are there; the world is to be made
    Unreachable,        // no compositor answered (nothing said yet)
    WithoutLayerShell,  // the compositor offers no layer-shell (nothing said yet)
    Failed,             // it cannot start; why has been reported
};

// Connects to the compositor named by WAYLAND_DISPLAY, catches the ending signals and
// puts an overlay on every output, at the size the compositor gives it, with the
// picture over all of them.
WaylandOpening openWaylandDesktop();

// Makes the world and places it on the primary output.
void createWorldOnPrimary();
