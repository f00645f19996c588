// Times the X11 presentation on the display named by DISPLAY: a full-frame put
// against a dirty rectangle's, each with and without the reshape, and whole drag
// steps; and counts the heap allocations (Xlib's included) of the dirty path.
// usage: DISPLAY=:N x11_present_timing   (the screen's size is the surface's)

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "allocation_count.h"
#include "app/x11/overlay_window.h"
#include "app/x11/shm_image.h"
#include "app/x11/x11_overlay.h"
#include "app/x11/x11_present.h"
#include "app/x11/x11_state.h"
#include "host/host.h"
#include "interaction/mouse_event.h"
#include "render/redraw.h"
#include "world/world.h"

void hostPlaySound(const char*) {}

namespace {

constexpr int rounds = 200;

// Milliseconds per call of `step`, each waited for until the server has done it;
// the allocations counted are the step's own (XSync's reply buffers left out).
template <typename Step>
double timeIt(Step step, long* allocationsInSteps = nullptr) {
    step(0);
    XSync(x11.display, False);
    countedAllocations = 0;
    const auto began = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
        countingAllocations = allocationsInSteps != nullptr;
        step(i);
        countingAllocations = false;
        XSync(x11.display, False);
    }
    const auto took = std::chrono::steady_clock::now() - began;
    if (allocationsInSteps != nullptr) *allocationsInSteps = countedAllocations;
    return std::chrono::duration<double, std::milli>(took).count() / rounds;
}

}  // namespace

int main() {
    if (!openOverlay()) return 1;
    createWorld();
    showWholeScene();
    mapOverlayWindow();
    const PixelRect whole{0, 0, x11.picture.logical.width, x11.picture.logical.height};
    const BrickUnit& first = *World.front();
    const PixelRect dirty{first.x - 20, first.y - 20, first.x + 44, first.y + 44};  // 64x64 over a brick

    long dirtyPresentAllocations = 0;
    long dragAllocations = 0;
    const double fullPut = timeIt([&](int) { putSurfaceRect(whole); });
    const double dirtyPut = timeIt([&](int) { putSurfaceRect(dirty); });
    const double fullPresent = timeIt([&](int) { presentDirtyRegion(regionOf(whole)); });
    const double dirtyPresent = timeIt([&](int) { presentDirtyRegion(regionOf(dirty)); }, &dirtyPresentAllocations);

    handleMouseEvent(MouseMessage::LeftDown, first.x + 1, first.y + 1);
    const double dragStep = timeIt(
        [&](int i) { handleMouseEvent(MouseMessage::Move, 200 + (i % 100) * 12, x11.picture.logical.height - 60); },
        &dragAllocations);
    handleMouseEvent(MouseMessage::LeftUp, 0, 0);

    std::printf("surface %dx%d, %s, %d rounds each (ms per call, the server's work included)\n", x11.picture.logical.width,
                x11.picture.logical.height, x11.usesShm ? "XShmPutImage" : "XPutImage", rounds);
    std::printf("  put, full frame           %8.3f\n", fullPut);
    std::printf("  put, 64x64 dirty          %8.3f\n", dirtyPut);
    std::printf("  present, full frame       %8.3f  (both shapes rebuilt over the screen)\n", fullPresent);
    std::printf("  present, 64x64 dirty      %8.3f  (%ld allocations in %d calls)\n", dirtyPresent,
                dirtyPresentAllocations, rounds);
    std::printf("  drag step with present    %8.3f  (%ld allocations in %d calls)\n", dragStep, dragAllocations,
                rounds);
    return 0;
}
