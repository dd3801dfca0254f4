// A table update with a full rule set: 300 links, 100 lights and sprites,
// 60 forms and 2 balls at speed. Run: build-bench/bench/elements_bench
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "elements/table_elements.h"
#include "physics/main_ball.h"
#include "physics/physics_elements.h"
#include "table/table.h"

namespace {

std::string RuleTable() {
    std::string s = "ScreenRect { left = 0; right = 800; top = 0; bottom = 600; };;\n";
    char line[512];
    for (int b = 0; b < 2; ++b) {
        std::snprintf(line, sizeof(line),
                      "MainBall { radius = 0.015; startup_position_x = %.4f; "
                      "startup_position_y = 0.05; startup_speed_x = %.4f; "
                      "startup_speed_y = 0.9; };;\n",
                      0.3 + 0.4 * b, b ? 0.8 : -0.8);
        s += line;
    }
    // Forms 2..61: a closed box and 59 octagons; every wall keeps the speed.
    s += "CollisionForm { f_type = \"CLOSED\"; c_type = \"COLLISION_BOUNCE\"; k_bounce = 1.0; "
         "Line { toX = 0.01; toY = 0.01; };; Line { toX = 0.99; toY = 0.01; };; "
         "Line { toX = 0.99; toY = 0.99; };; Line { toX = 0.01; toY = 0.99; };; };;\n";
    for (int f = 0; f < 59; ++f) {
        const float cx = 0.1f + 0.8f * float(f % 10) / 9.0f;
        const float cy = 0.2f + 0.7f * float(f / 10) / 5.0f;
        s += "CollisionForm { f_type = \"CLOSED\"; c_type = \"COLLISION_BOUNCE\"; k_bounce = 1.0; ";
        for (int v = 0; v < 8; ++v) {
            const float a = 6.2831853f * float(v) / 8.0f;
            std::snprintf(line, sizeof(line), "Line { toX = %.4f; toY = %.4f; };; ",
                          double(cx + 0.02f * std::cos(a)), double(cy + 0.02f * std::sin(a)));
            s += line;
        }
        s += "};;\n";
    }
    // Elements 62..161: 50 timed lights and 50 sprites (their frames need no
    // files to be stepped).
    for (int i = 0; i < 50; ++i) {
        std::snprintf(line, sizeof(line),
                      "TSwitch { atX = %.3f; atY = 0.5; filename = \"lamp.bmp\"; };;\n", 0.02 * i);
        s += line;
        std::snprintf(line, sizeof(line),
                      "StaticSprite { atX = %.3f; filecount = 0; frametime = 0.05; "
                      "loopcount = 2; };;\n",
                      0.02 * i);
        s += line;
    }
    // 300 links: lanes scoring and lighting from the forms, chains of
    // current tokens, tres setters and enable timers.
    for (int i = 0; i < 300; ++i) {
        const int from = 2 + i % 60;
        const int light = 62 + i % 100;
        const int self = 162 + i;
        switch (i % 4) {
            case 0:
                std::snprintf(line, sizeof(line),
                              "Link { from = %d; scores = 10; To { to = %d; };; "
                              "To { to = %d; };; };;\n",
                              from, light, 62 + (i + 7) % 100);
                break;
            case 1:
                std::snprintf(
                    line, sizeof(line),
                    "Link { from = %d; big_scores = 100; change_count = 2; next = %d; "
                    "initially_current = %d; active_element = %d; To { to = %d; };; };;\n",
                    from, 162 + (i + 4) % 300, i % 8 == 1, light, light);
                break;
            case 2:
                std::snprintf(line, sizeof(line),
                              "Link { from = %d; can_set_tres_mode = 1; tres_mode_act_count = 2; "
                              "tres_time = 1.0; To { to = %d; };; };;\n",
                              self - 1, light);
                break;
            default:
                std::snprintf(line, sizeof(line),
                              "Link { from = %d; ee_cando = 1; ee_time = 0.5; skip_events = 2; "
                              "To { to = %d; };; };;\n",
                              from, light);
                break;
        }
        s += line;
    }
    return s;
}

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

void BM_RuleTableUpdate(benchmark::State& state) {
    RegisterPhysicsElements();
    RegisterTableElements();
    const std::string script = RuleTable();
    Table table;
    table.LoadFromText(script.data(), int(script.size()), "rules.script", "bench");
    if (table.ElementCount() != 462) {
        state.SkipWithError("table did not load whole");
        return;
    }
    table.lightShow = false;
    for (int i = 0; i < 100; ++i)
        table.Update(nullptr, 0.01f);
    const int scoreBefore = table.score;
    for (auto _ : state) {
        KeepAtSpeed(table);
        table.Update(nullptr, 0.01f);
        benchmark::ClobberMemory();
    }
    state.counters["elements"] = float(table.ElementCount());
    state.counters["points_per_update"] =
        float(table.score - scoreBefore) / float(state.iterations());
}
BENCHMARK(BM_RuleTableUpdate)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
