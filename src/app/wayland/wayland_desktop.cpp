#include "app/wayland/wayland_desktop.h"

#include <poll.h>
#include <wayland-client.h>

#include <cerrno>
#include <cstring>

#include "app/linux_common/event_loop.h"
#include "app/linux_common/report.h"
#include "app/wayland/output_changes.h"
#include "app/wayland/wayland_host.h"
#include "app/wayland/wayland_open.h"
#include "app/wayland/wayland_present.h"
#include "render/redraw.h"

namespace {

bool reading = false;  // a read of the connection is prepared, to be done or cancelled

void lostConnection() {
    const int error = wl_display_get_error(wayland.display);
    report("lost the connection to the Wayland compositor (%s)", std::strerror(error != 0 ? error : EPIPE));
    endLoop(1);
}

// Handles the compositor's events that have come and applies what they changed;
// false once the connection is lost.
bool dispatchPending() {
    if (wl_display_dispatch_pending(wayland.display) < 0) {
        lostConnection();
        return false;
    }
    applyOutputChanges();
    return true;
}

// Handles what has come, prepares to read and sends what waits: while the socket is
// full, the loop waits until it takes more as well.
short prepareToSleep() {
    while (wl_display_prepare_read(wayland.display) != 0) {
        if (!dispatchPending()) return 0;
    }
    reading = true;
    if (!loopRunning()) return 0;
    short events = POLLIN;
    if (wl_display_flush(wayland.display) < 0) {
        if (errno != EAGAIN) {
            lostConnection();
            return 0;
        }
        events |= POLLOUT;
    }
    return events;
}

// Reads what came (or gives up the prepared read), handles it and commits the
// pictures that waited for a buffer the compositor may have given back.
void readWhatCame(short revents) {
    if (reading) {
        reading = false;
        if ((revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            if (wl_display_read_events(wayland.display) < 0) {
                lostConnection();
                return;
            }
        } else {
            wl_display_cancel_read(wayland.display);
        }
    }
    if (loopRunning() && dispatchPending()) {
        commitWaitingPictures();
    }
}

}  // namespace

//------------------------------------------------------------------------------
// Scatters the bricks over the primary output, shows them and plays until Escape, a
// signal, another start or the compositor ends it.
DesktopOutcome runWaylandDesktop() {
    switch (openWaylandDesktop()) {
    case WaylandOpening::Unreachable:
        return DesktopOutcome{DesktopOutcome::Unreachable, 1};
    case WaylandOpening::WithoutLayerShell:
        return DesktopOutcome{DesktopOutcome::WithoutLayerShell, 1};
    case WaylandOpening::Failed:
        return DesktopOutcome{DesktopOutcome::Failed, 1};
    case WaylandOpening::Opened:
        break;
    }
    createWorldOnPrimary();
    showWholeScene();
    const int status = runLoop(DisplayConnection{wl_display_get_fd(wayland.display), prepareToSleep, readWhatCame});
    wl_display_flush(wayland.display);
    return DesktopOutcome{DesktopOutcome::Ended, status};
}
