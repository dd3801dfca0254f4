// Replays: the size of a three-minute game's file, and reading and writing it.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "input/replay.h"

namespace {

// Three minutes at a display's 60 frames a second, the frame time jittering
// between 16 and 17 ms as vsync gives it, flips every few tenths of a second
// and a launch for each of three balls.
Replay ThreeMinuteGame() {
    ReplayRecorder rec;
    rec.Begin("data\\tables\\t0000.script", 12345, false);
    std::uint32_t noise = 1;
    bool down[REPLAY_CONTROL_COUNT] = {};
    for (int f = 0; f < 180 * 60; ++f) {
        noise = noise * 1103515245u + 12345u;
        down[REPLAY_LEFTHANDLE] = (f / 13) % 3 == 0;
        down[REPLAY_RIGHTHANDLE] = (f / 17) % 4 == 1;
        down[REPLAY_SPRING] = f % 3600 > 150 && f % 3600 < 220;
        rec.Frame((noise >> 16) % 3 == 0 ? 17 : 16, down);
    }
    return rec.replay();
}

void BM_FormatThreeMinutes(benchmark::State& state) {
    const Replay r = ThreeMinuteGame();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = FormatReplay(r);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["bytes"] = double(bytes);
    state.counters["events"] = double(r.events.size());
}
BENCHMARK(BM_FormatThreeMinutes)->Unit(benchmark::kMillisecond);

void BM_ParseThreeMinutes(benchmark::State& state) {
    const std::string text = FormatReplay(ThreeMinuteGame());
    for (auto _ : state) {
        Replay r;
        std::string error;
        benchmark::DoNotOptimize(ParseReplay(text, &r, &error));
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}
BENCHMARK(BM_ParseThreeMinutes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
