// One table update with balls in play at speed, and a whole headless frame
// (update and draw at 800 x 600, 32 bits).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "physics/main_ball.h"
#include "physics/physics_elements.h"
#include "render/display.h"
#include "render/picture.h"
#include "table/table.h"

namespace {

// 60 forms, 505 segments: a closed box round the table and 59 closed
// octagons and nonagons on a grid. Every wall returns all the speed, so the
// balls never settle.
std::string BenchTable(int balls, const std::string& ballPictures) {
    std::string s = "ScreenRect { left = 0; right = 800; top = 0; bottom = 600; };;\n";
    for (int b = 0; b < balls; ++b) {
        char line[512];
        std::snprintf(
            line, sizeof(line),
            "MainBall { radius = 0.015; startup_position_x = %.4f; "
            "startup_position_y = 0.05; startup_speed_x = %.4f; startup_speed_y = 0.9; %s };;\n",
            0.05 + 0.055 * b, b % 2 ? 0.8 : -0.8, ballPictures.c_str());
        s += line;
    }
    s += "CollisionForm { f_type = \"CLOSED\"; c_type = \"COLLISION_BOUNCE\"; k_bounce = 1.0; "
         "Line { toX = 0.01; toY = 0.01; };; Line { toX = 0.99; toY = 0.01; };; "
         "Line { toX = 0.99; toY = 0.99; };; Line { toX = 0.01; toY = 0.99; };; };;\n";
    for (int f = 0; f < 59; ++f) {
        const float cx = 0.1f + 0.8f * float(f % 10) / 9.0f;
        const float cy = 0.2f + 0.7f * float(f / 10) / 5.0f;
        s += "CollisionForm { f_type = \"CLOSED\"; c_type = \"COLLISION_BOUNCE\"; k_bounce = 1.0; ";
        const int n = (f % 2) ? 9 : 8;
        for (int v = 0; v < n; ++v) {
            const float a = 6.2831853f * float(v) / float(n);
            char line[128];
            std::snprintf(line, sizeof(line), "Line { toX = %.4f; toY = %.4f; };; ",
                          double(cx + 0.02f * std::cos(a)), double(cy + 0.02f * std::sin(a)));
            s += line;
        }
        s += "};;\n";
    }
    return s;
}

// Balls that came to rest in a pile, or slipped out, are thrown again so the
// update always measures balls at speed. Costs a few nanoseconds a ball.
void KeepAtSpeed(Table& table) {
    for (int i = 0; i < table.BallCount(); ++i) {
        MainBall& b = *static_cast<MainBall*>(table.Ball(i));
        if (b.position.y < -0.5f || b.position.y > 1.0f || b.position.x < 0.0f ||
            b.position.x > 1.0f) {
            if (b.position.y < -0.5f)
                table.ballsInPlay += 1;
            b.position = b.startupPosition;
        }
        if (Length(b.velocity) < 0.5f)
            b.velocity = {(i % 2) ? 0.9f : -0.9f, -0.9f};
    }
}

void RunToSpeed(Table& table) {
    table.lightShow = false;
    for (int i = 0; i < 100; ++i)
        table.Update(nullptr, 0.01f);
}

void BM_TableUpdate(benchmark::State& state) {
    RegisterPhysicsElements();
    const int balls = int(state.range(0));
    const std::string script = BenchTable(balls, "");
    Table table;
    table.LoadFromText(script.data(), int(script.size()), "bench.script", "bench");
    RunToSpeed(table);
    for (auto _ : state) {
        KeepAtSpeed(table);
        table.Update(nullptr, 0.01f);
        benchmark::ClobberMemory();
    }
    float speed = 0.0f;
    for (int i = 0; i < table.BallCount(); ++i) {
        speed += Length(static_cast<MainBall*>(table.Ball(i))->velocity);
    }
    state.counters["mean_speed"] = speed / float(table.BallCount());
    state.counters["in_play"] = float(table.ballsInPlay);
}
BENCHMARK(BM_TableUpdate)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMicrosecond);

// A 32 x 32 24-bit BMP whose pixels come from fn(x, y) as 0xRRGGBB.
template <typename Fn>
void WriteBmp(const std::string& path, Fn fn) {
    const int w = 32, h = 32, stride = w * 3;
    std::vector<std::uint8_t> b(54 + std::size_t(stride * h), 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = std::uint8_t(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, std::uint32_t(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = fn(x, h - 1 - y);
            std::uint8_t* p = &b[54 + std::size_t(y * stride + x * 3)];
            p[0] = std::uint8_t(c);
            p[1] = std::uint8_t(c >> 8);
            p[2] = std::uint8_t(c >> 16);
        }
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return;
    std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
}

void BM_TableFrame800x600(benchmark::State& state) {
    RegisterPhysicsElements();
    WriteBmp("bench_dmap.bmp", [](int x, int y) { return std::uint32_t((x * 7 + y * 3) & 0xFF); });
    WriteBmp("bench_plus.bmp", [](int x, int y) { return (x < 8 && y < 8) ? 0x404040u : 0u; });
    WriteBmp("bench_image.bmp", [](int, int) { return 0x808080u; });
    WriteBmp("bench_shadow.bmp", [](int, int) { return 0x202020u; });
    Display display;
    display.width = 800;
    display.height = 600;
    display.bpp = 32;
    if (!display.Initialise(nullptr)) {
        state.SkipWithError("no back surface");
        return;
    }
    const std::string script = BenchTable(
        1,
        "dmap = \"bench_dmap.bmp\"; dmplus = \"bench_plus.bmp\"; image = \"bench_image.bmp\"; "
        "shadow = \"bench_shadow.bmp\"; opacity = 0.5; shX = 4; shY = 4; refX = 2; refY = 2;");
    Table table;
    table.LoadFromText(script.data(), int(script.size()), "bench.script", "bench");
    RunToSpeed(table);
    Picture* back = display.BackPicture();
    for (auto _ : state) {
        display.back.Fill(0x00203040);
        KeepAtSpeed(table);
        table.Update(nullptr, 0.01f);
        table.Draw(back);
        benchmark::ClobberMemory();
    }
    state.counters["fps"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TableFrame800x600)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
