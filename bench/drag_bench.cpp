// The road of one mouse move during a drag: the state machine with its walks,
// overlap test and snap search, the redraw of what changed, and the host's copy of
// the changed rows; alone and with the redraw, for one brick and for a big group.

#include <benchmark/benchmark.h>

#include "bench_world.h"
#include "interaction/drag_state.h"
#include "interaction/mouse_event.h"
#include "render/redraw.h"
#include "world/world.h"

namespace {

// Units in the group of the unit.
int groupSize(BrickUnit& unit) {
    unit.setGroupMark(1);
    int size = 0;
    for (const BrickUnit* other : World) size += other->mark;
    unit.setGroupMark(0);
    return size;
}

void grab(BrickUnit& unit) {
    handleMouseEvent(MouseMessage::LeftUp, 0, 0);
    handleMouseEvent(MouseMessage::LeftDown, unit.x + 1, unit.y + 1);
}

// The rightmost unit of a four-stud brick that nothing is attached to.
BrickUnit& loneFourStudBrick() {
    for (BrickUnit* unit : World) {
        if (unit->right == nullptr && groupSize(*unit) == 4) return *unit;
    }
    return *World.front();
}

// Slow steps back and forth over an empty part of the screen, one hook call each.
void dragToAndFro(benchmark::State& state, int32_t y) {
    int32_t x = 1400;
    handleMouseEvent(MouseMessage::Move, x, y);
    for (auto _ : state) {
        x = x >= 1800 ? 1400 : x + 3;
        benchmark::DoNotOptimize(handleMouseEvent(MouseMessage::Move, x, y));
    }
    handleMouseEvent(MouseMessage::LeftUp, x, y);
}

// A typical drag step: one four-stud brick, whole hook call with the redraw.
void BM_MoveEventWithRedraw(benchmark::State& state) {
    prepareBenchWorld(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                      static_cast<int>(state.range(2)));
    grab(loneFourStudBrick());
    dragToAndFro(state, 950);
}

// The first brick dragged through the crowded middle in slow steps: bricks snap,
// attach and join it on the way, so its group grows with every pass.
void gatherGroup(int steps) {
    grab(*World.front());
    int32_t x = 100;
    int32_t y = 100;
    for (int step = 0; step < steps; ++step) {
        x = x >= 900 ? 100 : x + 3;
        y = y >= 700 ? 100 : y + 1;
        if (dragState == DragState::Idle) grab(*World.front());
        updateDrag(x, y);
    }
    handleMouseEvent(MouseMessage::LeftUp, x, y);
}

// The same step with most of the world held: the search and the redraw follow its size.
void BM_MoveEventWithRedrawBigGroup(benchmark::State& state) {
    prepareBenchWorld(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                      static_cast<int>(state.range(2)));
    if (groupSize(*World.front()) < 200) gatherGroup(20000);
    showWholeScene();
    grab(*World.front());
    state.counters["heldUnits"] = groupSize(*World.front());
    dragToAndFro(state, 700);
}

// The state machine alone for the four-stud brick: no drawing, nothing presented.
void BM_SlowDragStepNoRedraw(benchmark::State& state) {
    prepareBenchWorld(1920, 1080);
    grab(loneFourStudBrick());
    int32_t x = 1400;
    for (auto _ : state) {
        x = x >= 1800 ? 1400 : x + 3;
        updateDrag(x, 950);
    }
    handleMouseEvent(MouseMessage::LeftUp, x, 950);
}

BENCHMARK(BM_SlowDragStepNoRedraw)->Unit(benchmark::kMicrosecond);
// The screens each drag step is timed on: device width and height, and the scale in
// 120ths; at 240 each logical pixel is a 2x2 block of a 3840x2160 screen.
void onScreens(benchmark::internal::Benchmark* bench) {
    bench->Args({1920, 1080, 120})
        ->Args({3840, 2160, 120})
        ->Args({7680, 2160, 120})  // two 4K screens side by side
        ->Args({3840, 2160, 240})
        ->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_MoveEventWithRedraw)->Apply(onScreens);
BENCHMARK(BM_MoveEventWithRedrawBigGroup)->Apply(onScreens);

}  // namespace
