// zimblet: the Linux program, one for every desktop. It runs as a Wayland client
// when WAYLAND_DISPLAY names a compositor that offers layer-shell, and as an X11
// client when DISPLAY is set otherwise. In a Wayland session without layer-shell
// (GNOME) the X11 overlay runs through XWayland only where XWayland carries its
// input shape over, else it would catch every click beside the bricks;
// ZIMBLET_FORCE_X11=1 asks for it anyway.
//
// One toy per user session: a start while a toy runs ends that toy and starts
// nothing, so a second click on the launcher puts the bricks away; `zimblet --quit`
// only ends it.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/linux/command_line.h"
#include "app/linux_common/canberra_sound.h"
#include "app/linux_common/report.h"
#include "app/linux_common/single_toy.h"
#include "app/wayland/wayland_desktop.h"
#include "app/x11/x11_desktop.h"
#include "app/x11/xwayland_shapes.h"

namespace {

// The exit status when there is no desktop to play on, or the toy cannot start.
constexpr int noDesktopStatus = 1;
constexpr int usageStatus = 2;

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

bool x11Forced() {
    return isSet("ZIMBLET_FORCE_X11") && std::strcmp(std::getenv("ZIMBLET_FORCE_X11"), "0") != 0;
}

int refuseWithoutLayerShell(const XWaylandShapes& shapes) {
    char xwayland[96];
    if (!shapes.reachable) {
        std::snprintf(xwayland, sizeof xwayland, "there is no XWayland to fall back on (DISPLAY)");
    } else {
        std::snprintf(xwayland, sizeof xwayland, "its X server (release %d) is not an XWayland of 24.1 or later",
                      shapes.release);
    }
    report("this Wayland compositor does not offer the layer-shell protocol "
           "(zwlr_layer_shell_v1), and %s, which would let clicks beside the bricks through "
           "an X11 overlay. So the bricks cannot lie over your desktop here.\n"
           "To play, update XWayland to 24.1 or later, use a "
           "compositor that offers layer-shell (sway and other wlroots-based ones, KDE Plasma), "
           "or log in to an X11 session.\n"
           "ZIMBLET_FORCE_X11=1 starts the X11 overlay anyway: there it catches clicks beside "
           "the bricks and does not see Escape while a Wayland window has the keyboard.",
           xwayland);
    return noDesktopStatus;
}

// The exit status of a desktop's run: 1 where it could not start.
int statusOf(const DesktopOutcome& outcome) {
    return outcome.kind == DesktopOutcome::Ended ? outcome.status : noDesktopStatus;
}

// The desktop's own run, or a refusal with its reason on stderr.
int play() {
    if (isSet("WAYLAND_DISPLAY") && !x11Forced()) {
        const DesktopOutcome outcome = runWaylandDesktop();
        if (outcome.kind == DesktopOutcome::WithoutLayerShell) {
            const XWaylandShapes shapes = askXWaylandAboutShapes();
            return shapes.carried() ? statusOf(runX11Desktop()) : refuseWithoutLayerShell(shapes);
        }
        if (outcome.kind != DesktopOutcome::Unreachable) {
            return statusOf(outcome);
        }
        if (!isSet("DISPLAY")) {
            report("cannot connect to the Wayland compositor '%s' (WAYLAND_DISPLAY), and DISPLAY names no X11 display "
                   "either", std::getenv("WAYLAND_DISPLAY"));
            return noDesktopStatus;
        }
    }
    if (isSet("DISPLAY")) {
        return statusOf(runX11Desktop());
    }
    if (x11Forced()) {
        report("ZIMBLET_FORCE_X11 asks for the X11 desktop, but DISPLAY is not set");
        return noDesktopStatus;
    }
    // Reached only without WAYLAND_DISPLAY too: naming DISPLAY says it all.
    report("no display: DISPLAY is not set, so there is no desktop to put the bricks on");
    return noDesktopStatus;
}

}  // namespace

int main(int argc, char** argv) {
    const Request request = readCommandLine(argc, argv);
    switch (request) {
    case Request::Help:
        printHelp();
        return 0;
    case Request::Version:
        printVersion();
        return 0;
    case Request::Unknown:
        printUsage();
        return usageStatus;
    case Request::Play:
    case Request::Quit:
        break;
    }
    switch (claimOrEndToy(request == Request::Quit)) {
    case ToyClaim::EndedRunning:
        return 0;
    case ToyClaim::NoneRunning:
        report("no toy is running");
        return 0;
    case ToyClaim::Failed:
        return noDesktopStatus;  // never a second toy over one that would not end
    case ToyClaim::Unguarded:    // the toy still plays, only a second start cannot end it
    case ToyClaim::Claimed:
        break;
    }
    openSound();
    const int status = play();
    closeSound();
    return status;
}
