// Zimblet for Linux: one program for both desktops. It runs as a Wayland client
// when WAYLAND_DISPLAY names a compositor that offers layer-shell, and as an X11
// client when DISPLAY is set otherwise. A Wayland session without layer-shell
// (GNOME) is not given the X11 overlay, which there would swallow clicks beside the
// bricks and never see Escape; ZIMBLET_FORCE_X11=1 asks for it anyway.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/linux/desktop.h"

namespace {

// Exit status when there is no desktop to play on.
constexpr int noDesktopStatus = 2;

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

int refuseWithoutLayerShell() {
    std::fprintf(stderr,
                 "zimblet: this Wayland compositor does not offer the layer-shell protocol "
                 "(zwlr_layer_shell_v1), so the bricks cannot lie over your desktop as a "
                 "click-through overlay here (GNOME's Mutter is such a compositor).\n"
                 "To play, log in to an X11 session, or use a compositor that offers layer-shell "
                 "(sway, KDE Plasma, Hyprland, Wayfire and other wlroots-based ones).\n"
                 "ZIMBLET_FORCE_X11=1 starts the X11 overlay through XWayland anyway: there it "
                 "catches clicks beside the bricks and does not see Escape while a Wayland "
                 "window has the keyboard.\n");
    return noDesktopStatus;
}

}  // namespace

//------------------------------------------------------------------------------
int main() {
    const bool forceX11 = isSet("ZIMBLET_FORCE_X11") && std::strcmp(std::getenv("ZIMBLET_FORCE_X11"), "0") != 0;
    if (isSet("WAYLAND_DISPLAY") && !forceX11) {
        const int status = runWaylandDesktop();
        if (status == waylandWithoutLayerShell) {
            return refuseWithoutLayerShell();
        }
        if (status != waylandUnreachable) {
            return status;
        }
        if (!isSet("DISPLAY")) {
            std::fprintf(stderr, "zimblet: cannot connect to the Wayland compositor '%s' (WAYLAND_DISPLAY), "
                                 "and DISPLAY names no X11 display either.\n",
                         std::getenv("WAYLAND_DISPLAY"));
            return noDesktopStatus;
        }
    }
    if (isSet("DISPLAY")) {
        return runX11Desktop();
    }
    std::fprintf(stderr, "zimblet: no desktop to play on: neither WAYLAND_DISPLAY nor DISPLAY is set. "
                         "Start it from inside a graphical session.\n");
    return noDesktopStatus;
}
