// Times the Wayland presentation on the compositor named by WAYLAND_DISPLAY: a
// typical drag step (its dirty rectangles damaged) against the whole surface
// damaged, each commit waited for until the compositor's frame callback; and, given
// the compositor's process id, the compositor's own CPU time per frame. Counts the
// heap allocations (libwayland's included) of the drag step.
// usage: wayland_damage_timing [COMPOSITOR_PID]   (the picture spans every output; the
// drag runs on the first one)
// bench/wayland_damage.sh runs it under headless sway at 1920x1080, 3840x2160 (at
// scale 1 and 2) and on two 3840x2160 outputs side by side.

#include <unistd.h>
#include <wayland-client.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/linux_common/event_loop.h"
#include "app/wayland/output_changes.h"
#include "app/wayland/wayland_host.h"
#include "app/wayland/wayland_open.h"
#include "app/wayland/wayland_present.h"
#include "allocation_count.h"
#include "host/host.h"
#include "interaction/mouse_event.h"
#include "render/redraw.h"
#include "world/world.h"

void hostPlaySound(const char*) {}

namespace {

constexpr int rounds = 200;
int compositorPid = 0;
bool frameDone = false;
wl_surface* timedSurface = nullptr;  // the surface of the output the drag runs on

void handleFrameDone(void*, wl_callback* callback, uint32_t) {
    wl_callback_destroy(callback);
    frameDone = true;
}

const wl_callback_listener frameListener = {.done = handleFrameDone};

// The compositor's user and system time so far, in milliseconds.
double compositorCpuMs() {
    if (compositorPid == 0) return 0;
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/stat", compositorPid);
    std::FILE* stat = std::fopen(path, "r");
    if (stat == nullptr) return 0;
    unsigned long user = 0, system = 0;
    // Fields 14 and 15 after the name in parentheses (which holds no spaces here).
    const int read = std::fscanf(stat, "%*d %*s %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user, &system);
    std::fclose(stat);
    return read == 2 ? 1000.0 * static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK)) : 0;
}

struct Timing {
    double wallMs;
    double compositorMs;
    long allocations;
};

// Per call of `step`: the time until the compositor's frame callback for its commit,
// and the compositor's CPU time; allocations are the step's own.
template <typename Step>
Timing timeIt(Step step) {
    long counted = 0;
    const double cpuBefore = compositorCpuMs();
    const auto began = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
        frameDone = false;
        wl_callback_add_listener(wl_surface_frame(timedSurface), &frameListener, nullptr);
        countedAllocations = 0;
        countingAllocations = true;
        step(i);
        countingAllocations = false;
        counted += countedAllocations;
        while (!frameDone && loopRunning()) {
            if (wl_display_dispatch(wayland.display) < 0) std::exit(1);
            applyOutputChanges();
            commitWaitingPictures();  // a commit that waited for a buffer goes out now
        }
    }
    const auto took = std::chrono::steady_clock::now() - began;
    return Timing{std::chrono::duration<double, std::milli>(took).count() / rounds,
                  (compositorCpuMs() - cpuBefore) / rounds, counted};
}

}  // namespace

int main(int argc, char** argv) {
    compositorPid = argc > 1 ? std::atoi(argv[1]) : 0;
    if (openWaylandDesktop() != WaylandOpening::Opened) return 1;
    createWorldOnPrimary();
    showWholeScene();
    wl_display_roundtrip(wayland.display);
    applyOutputChanges();
    const SurfacePixels& picture = wayland.picture.logical;
    const PixelRect whole{0, 0, picture.width, picture.height};
    const BrickUnit& first = *World.front();
    for (const OutputView& view : wayland.outputs) {
        const PixelRect& area = view.area;
        if (view.place.configured && area.left <= 200 && 200 < area.right) timedSurface = view.surface;
    }

    const Timing full = timeIt([&](int) { waylandPresent(regionOf(whole)); });
    handleMouseEvent(MouseMessage::LeftDown, first.x + 1, first.y + 1);
    // Steps of 12 pixels: fast moves, as a drag across the screen makes them.
    const Timing drag = timeIt(
        [&](int i) { handleMouseEvent(MouseMessage::Move, 200 + (i % 100) * 12, picture.height - 60); });
    handleMouseEvent(MouseMessage::LeftUp, 0, 0);

    std::printf("picture %dx%d, %d rounds each (ms per frame, commit to frame callback; compositor CPU)\n",
                picture.width, picture.height, rounds);
    std::printf("  whole surface damaged     %8.3f  compositor %6.3f\n", full.wallMs, full.compositorMs);
    std::printf("  drag step, dirty damaged  %8.3f  compositor %6.3f  (%ld allocations in %d steps)\n", drag.wallMs,
                drag.compositorMs, drag.allocations, rounds);
    return 0;
}
