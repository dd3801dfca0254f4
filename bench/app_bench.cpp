// The whole game, headless (SDL's dummy video and audio drivers), on the
// data the build generates (data.pak):
// - one game frame of the default table (update, game screen, draw, present)
//   with 1 and with 16 balls in play, and its ratio (x_bare) to the bare
//   frame (one full-screen blit and a present) measured in the same benchmark;
// - start-up to the first menu frame, without logo films;
// - loading the default table.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "app/game_app.h"
#include "menu/game_screen.h"
#include "render/picture.h"
#include "table/table_object.h"

namespace {

std::uint32_t fakeNow = 0;
// Every reading is 10 ms after the last: the game steps as at 100 frames a second.
std::uint32_t BenchClock() {
    return fakeNow += 10;
}

// A folder of its own with the build's data.pak and an empty data folder
// for what the game writes (settings, scores).
void EnterBenchFolder() {
    static bool done = false;
    if (done)
        return;
    done = true;
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("ZARNIK_MESSAGES", "stderr", 0);
    namespace fs = std::filesystem;
    // Removed again when the program ends.
    static struct Folder {
        fs::path path = fs::temp_directory_path() / ("zarnik-bench-" + std::to_string(getpid()));
        ~Folder() {
            std::error_code ec;
            fs::remove_all(path, ec);
        }
    } bench;
    const fs::path& folder = bench.path;
    fs::create_directories(folder / "data");
    fs::create_symlink(fs::path(ZARNIK_BINARY_DIR) / "data.pak", folder / "data.pak");
    fs::current_path(folder);
}

// This thread's CPU time in microseconds. The machine is shared: a frame is
// reported as a ratio to the bare frame measured in the same benchmark, both
// in CPU time.
double ThreadMicros() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

// The least a frame can cost on this display: the whole back surface drawn
// once, then shown. Returns microseconds a frame, over at least 50 ms.
double BareFrameMicros(Display& display) {
    Picture full(display.width, display.height, PICTURE_SURFACE);
    int frames = 0;
    const double start = ThreadMicros();
    double now = start;
    while (frames < 20 || now - start < 50000.0) {
        full.Draw(display.BackPicture(), 0, 0);
        display.Present();
        ++frames;
        now = ThreadMicros();
    }
    return (now - start) / frames;
}

struct Game {
    Game() {
        EnterBenchFolder();
        app = std::make_unique<GameApp>();
        app->keyboard = &keys;
        app->clock = &BenchClock;
        ok = app->Initialise();
    }
    ~Game() {
        if (ok)
            app->Shutdown();
    }

    // Leaves the menu into the default table and past its light show.
    void StartGame() {
        app->LeaveMenu();
        app->Frame();
        app->table.ball_count = 1000000;  // the game never ends under the benchmark
        for (int i = 0; i < 250; ++i)
            app->Frame();
    }

    // The plunger is pulled and let go by turns, so a served ball is launched.
    void Play(int frame) { keys.Set(57, frame % 120 < 60); }

    std::unique_ptr<GameApp> app;
    platform::ManualKeyboard keys;
    bool ok = false;
};

void BM_GameFrame(benchmark::State& state) {
    Game game;
    if (!game.ok) {
        state.SkipWithError("the game did not start");
        return;
    }
    game.StartGame();
    Table& table = game.app->table;
    TableObject* generator = nullptr;
    for (int i = 0; i < table.ElementCount(); ++i) {
        if (table.Element(i)->type == ELEMENT_BALL_GENERATOR)
            generator = table.Element(i);
    }
    const int balls = int(state.range(0));
    if (balls > 1 && !generator) {
        state.SkipWithError("the default table has no ball generator");
        return;
    }
    int frame = 0;
    long long ballFrames = 0;
    const double bareBefore = BareFrameMicros(game.app->display);
    const double start = ThreadMicros();
    for (auto _ : state) {
        // Balls that drained are made again.
        while (balls > 1 && table.BallCount() < balls)
            generator->Activate();
        game.Play(frame++);
        if (!game.app->Frame()) {
            state.SkipWithError("a frame failed");
            return;
        }
        ballFrames += table.ballsInPlay;
    }
    const double perFrame = (ThreadMicros() - start) / double(frame > 0 ? frame : 1);
    // The bare frame before and after the run: the machine's load drifts.
    const double bare = (bareBefore + BareFrameMicros(game.app->display)) / 2.0;
    state.counters["balls_in_play"] = double(ballFrames) / double(frame > 0 ? frame : 1);
    state.counters["bare_us"] = bare;
    state.counters["x_bare"] = perFrame / bare;
}
BENCHMARK(BM_GameFrame)->Arg(1)->Arg(16)->Unit(benchmark::kMicrosecond);

// The frame's parts, one game's worth each: where the time goes.
void BM_GameFramePart(benchmark::State& state) {
    Game game;
    if (!game.ok) {
        state.SkipWithError("the game did not start");
        return;
    }
    game.StartGame();
    GameApp& app = *game.app;
    Picture* back = app.display.BackPicture();
    int frame = 0;
    for (auto _ : state) {
        game.Play(frame++);
        switch (state.range(0)) {
            case 0:
                app.table.Update(app.gameScreen.get(), 0.01f);
                break;
            case 1:
                app.table.Draw(back);
                break;
            case 2:
                app.gameScreen->Update(0.01f, GameScreenValuesOf(app.table));
                app.gameScreen->Draw(back);
                break;
        }
    }
    static const char* const kPart[] = {"table update", "table draw", "game screen"};
    state.SetLabel(kPart[state.range(0)]);
}
BENCHMARK(BM_GameFramePart)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// The least a frame can cost: the whole back surface drawn once, then shown.
void BM_BareFrame(benchmark::State& state) {
    Game game;
    if (!game.ok) {
        state.SkipWithError("the game did not start");
        return;
    }
    Display& display = game.app->display;
    Picture full(display.width, display.height, PICTURE_SURFACE);
    for (auto _ : state) {
        full.Draw(display.BackPicture(), 0, 0);
        display.Present();
    }
}
BENCHMARK(BM_BareFrame)->Unit(benchmark::kMicrosecond);

void BM_StartToFirstMenuFrame(benchmark::State& state) {
    for (auto _ : state) {
        GameApp app;
        platform::ManualKeyboard keys;
        app.keyboard = &keys;
        app.clock = &BenchClock;
        if (!app.Initialise() || !app.Frame()) {
            state.SkipWithError("the game did not start");
            return;
        }
        state.PauseTiming();
        app.Shutdown();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartToFirstMenuFrame)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_LoadDefaultTable(benchmark::State& state) {
    Game game;
    if (!game.ok) {
        state.SkipWithError("the game did not start");
        return;
    }
    Table& table = game.app->table;
    table.SetScores(nullptr, "");
    for (auto _ : state) {
        if (!table.Load("data\\tables\\t0000.script", "bench") || table.ElementCount() == 0) {
            state.SkipWithError("the table did not load");
            return;
        }
    }
    state.counters["elements"] = table.ElementCount();
}
BENCHMARK(BM_LoadDefaultTable)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
