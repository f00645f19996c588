// zimblet: the Linux program, one for both desktops. It runs as a Wayland client
// when WAYLAND_DISPLAY names a compositor that offers layer-shell, and as an X11
// client when DISPLAY is set otherwise. A Wayland session without layer-shell
// (GNOME) is not given the X11 overlay, which there would catch clicks beside the
// bricks and never see Escape; ZIMBLET_FORCE_X11=1 asks for it anyway.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/linux/canberra_sound.h"
#include "app/wayland/wayland_desktop.h"
#include "app/x11/x11_desktop.h"

namespace {

// The exit status when there is no desktop to play on.
constexpr int noDesktopStatus = 1;

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

bool x11Forced() {
    return isSet("ZIMBLET_FORCE_X11") && std::strcmp(std::getenv("ZIMBLET_FORCE_X11"), "0") != 0;
}

int refuseWithoutLayerShell() {
    std::fprintf(stderr,
                 "zimblet: this Wayland compositor does not offer the layer-shell protocol "
                 "(zwlr_layer_shell_v1), so the bricks cannot lie over your desktop as a "
                 "click-through overlay here (GNOME's Mutter is such a compositor).\n"
                 "To play, log in to an X11 session, or use a compositor that offers layer-shell "
                 "(sway and other wlroots-based ones, KDE Plasma).\n"
                 "ZIMBLET_FORCE_X11=1 starts the X11 overlay through XWayland anyway: there it "
                 "catches clicks beside the bricks and does not see Escape while a Wayland "
                 "window has the keyboard.\n");
    return noDesktopStatus;
}

// The desktop's own run, or a refusal with its reason on stderr.
int play() {
    if (isSet("WAYLAND_DISPLAY") && !x11Forced()) {
        const int status = runWaylandDesktop();
        if (status == waylandWithoutLayerShell) {
            return refuseWithoutLayerShell();
        }
        if (status != waylandUnreachable) {
            return status;
        }
        if (!isSet("DISPLAY")) {
            std::fprintf(stderr,
                         "zimblet: cannot connect to the Wayland compositor '%s' (WAYLAND_DISPLAY), "
                         "and DISPLAY names no X11 display either\n",
                         std::getenv("WAYLAND_DISPLAY"));
            return noDesktopStatus;
        }
    }
    if (isSet("DISPLAY")) {
        return runX11Desktop();
    }
    if (x11Forced()) {
        std::fprintf(stderr, "zimblet: ZIMBLET_FORCE_X11 asks for the X11 desktop, but DISPLAY is not set\n");
        return noDesktopStatus;
    }
    // Reached only without WAYLAND_DISPLAY too: naming DISPLAY says it all.
    std::fprintf(stderr, "zimblet: no display: DISPLAY is not set, so there is no desktop to put the bricks on\n");
    return noDesktopStatus;
}

}  // namespace

int main() {
    openSound();
    const int status = play();
    closeSound();
    return status;
}
