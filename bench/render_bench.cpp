#include <benchmark/benchmark.h>

#include <cstring>

#include "app/memory/memory_host.h"
#include "bench_world.h"
#include "render/redraw.h"

namespace {

// The floor: wiping the same memory with nothing drawn on it.
void BM_MemsetSurface(benchmark::State& state) {
    prepareBenchWorld(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const SurfacePixels& surface = memoryHost().surface;
    for (auto _ : state) {
        std::memset(surface.pixels, 0, static_cast<std::size_t>(surface.stride) * static_cast<std::size_t>(surface.height));
        benchmark::ClobberMemory();
    }
}

// The whole picture at start-up: wipe, draw every unit, note where each went, show it all.
void BM_FirstPicture(benchmark::State& state) {
    prepareBenchWorld(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                      static_cast<int>(state.range(2)));
    for (auto _ : state) {
        showWholeScene();
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_MemsetSurface)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Args({7680, 2160})  // two 4K screens side by side
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirstPicture)  // device width and height, scale in 120ths
    ->Args({1920, 1080, 120})
    ->Args({3840, 2160, 120})
    ->Args({3840, 2160, 240})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
