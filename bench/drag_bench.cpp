// The road of one mouse move during a drag, without the presentation: the state
// machine with its walks, overlap test and snap search, then the redraw.

#include <benchmark/benchmark.h>

#include "bench_host.h"
#include "interaction/drag_state.h"
#include "interaction/mouse_event.h"
#include "render/scene.h"
#include "world/world.h"

namespace {

// Grabs the first brick of the world, so every move drags a real group.
void grabFirstBrick() {
    handleMouseEvent(MouseMessage::LeftUp, 0, 0);
    const BrickUnit* unit = World.front();
    handleMouseEvent(MouseMessage::LeftDown, unit->x + 1, unit->y + 1);
}

// Slow moves over an empty corner: overlap test and snap search run, nothing found.
void BM_SlowDragStepNoRedraw(benchmark::State& state) {
    prepareBenchWorld(1920, 1080);
    grabFirstBrick();
    int32_t x = 1400;
    for (auto _ : state) {
        x = x >= 1800 ? 1400 : x + 3;
        updateDrag(x, 950);
    }
    handleMouseEvent(MouseMessage::LeftUp, x, 950);
}

// Units in the group of the grabbed unit.
int heldGroupSize() {
    grabbedUnit->setGroupMark(1);
    int size = 0;
    for (const BrickUnit* unit : World) size += unit->mark;
    grabbedUnit->setGroupMark(0);
    return size;
}

// Slow moves across the crowded middle of the world: overlaps, snaps and attaches on
// the way, so the held group grows as bricks join it (the cost grows with its size).
void BM_SlowDragStepThroughBricksNoRedraw(benchmark::State& state) {
    prepareBenchWorld(1920, 1080);
    grabFirstBrick();
    int32_t x = 100;
    int32_t y = 100;
    for (auto _ : state) {
        x = x >= 900 ? 100 : x + 3;
        y = y >= 700 ? 100 : y + 1;
        if (dragState == DragState::Idle) grabFirstBrick();
        updateDrag(x, y);
    }
    state.counters["heldUnits"] = heldGroupSize();
    handleMouseEvent(MouseMessage::LeftUp, x, y);
}

// One whole hook call for a move during a drag, with the redraw of a full screen.
void BM_MoveEventWithRedraw(benchmark::State& state) {
    prepareBenchWorld(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    grabFirstBrick();
    int32_t x = 1400;
    for (auto _ : state) {
        x = x >= 1800 ? 1400 : x + 3;
        benchmark::DoNotOptimize(handleMouseEvent(MouseMessage::Move, x, 950));
    }
    handleMouseEvent(MouseMessage::LeftUp, x, 950);
}

BENCHMARK(BM_SlowDragStepNoRedraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SlowDragStepThroughBricksNoRedraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MoveEventWithRedraw)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond);

}  // namespace
