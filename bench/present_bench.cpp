// The cost of showing the 800 x 600 back surface in windows of several
// sizes: upload, scaled copy and present. Needs a display (run under
// `xvfb-run -a -s "-screen 0 2048x1536x24"` on a machine without one);
// vsync is whatever the renderer gives.
#include <benchmark/benchmark.h>

#include "platform/surface.h"
#include "platform/window.h"

namespace {

void Present(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const auto mode = state.range(2) ? platform::ScaleMode::Sharp : platform::ScaleMode::Smooth;
    if (!platform::InitVideo() || !platform::HasRealDisplay()) {
        state.SkipWithError("no display");
        return;
    }
    platform::Window window;
    if (!window.Create("present_bench", 800, 600, false)) {
        state.SkipWithError("no window");
        return;
    }
    window.SetScaleMode(mode);
    window.SetClientSize(w, h);
    platform::Surface back;
    back.Create(800, 600, platform::FormatForDepth(32), false);
    back.Fill(0x336699);
    window.PreparePresent(back);
    for (auto _ : state)
        window.Present(back);
    const platform::ViewRect d = window.LastDestination();
    state.SetLabel(std::to_string(d.w) + "x" + std::to_string(d.h) + " at " + std::to_string(d.x) +
                   "," + std::to_string(d.y));
}

BENCHMARK(Present)
    ->Args({800, 600, 0})
    ->Args({1920, 1080, 0})
    ->Args({1920, 1080, 1})
    ->Args({1600, 1200, 1})
    ->Unit(benchmark::kMicrosecond);

void FitAndMap(benchmark::State& state) {
    int x = 0, y = 0, sum = 0;
    for (auto _ : state) {
        const platform::ViewRect d =
            platform::FitBackSurface(1920, 1080, 800, 600, platform::ScaleMode::Smooth);
        platform::WindowToBackSurface(960 + (sum & 7), 540, 1920, 1080, 1920, 1080, d, 800, 600, &x,
                                      &y);
        sum += x + y;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(FitAndMap);

}  // namespace

BENCHMARK_MAIN();
