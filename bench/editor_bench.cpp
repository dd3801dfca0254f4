// How long the editor holds the table lock (the game's frame waits that
// long): the list and text the page shows, and "Apply" on a link; then one
// whole request over loopback HTTP.
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <memory>
#include <string>

#include "editor/editor.h"
#include "editor/editor_api.h"
#include "editor/editor_server.h"
#include "elements/table_elements.h"
#include "physics/physics_elements.h"
#include "table/table.h"

namespace {

// `links` links, each with three targets, among as many dummies.
std::string BigTable(int links) {
    std::string s;
    for (int i = 0; i < links; ++i)
        s += "Dummy { };;\n";
    for (int i = 0; i < links; ++i) {
        s += "Link { from = " + std::to_string(i) +
             "; scores = 10; To { to = " + std::to_string((i + 1) % links) +
             "; };; To { to = " + std::to_string((i + 2) % links) +
             "; };; To { to = " + std::to_string((i + 3) % links) + "; };; };;\n";
    }
    return s;
}

struct Bench {
    explicit Bench(int links) {
        RegisterPhysicsElements();
        RegisterTableElements();
        const std::string text = BigTable(links);
        table.LoadFromText(text.data(), int(text.size()), "bench.script", "bench");
        editor.TableLoaded("bench.script");
        last = table.ElementCount() - 1;
        editor.Select({last, ElementId(table.Element(last))});
    }
    Table table;
    Editor editor{table};
    int last = 0;
};

void BM_EditorView(benchmark::State& state) {
    Bench b(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(b.editor.View());
    state.SetLabel(std::to_string(b.table.ElementCount()) + " elements");
}
BENCHMARK(BM_EditorView)->Arg(50)->Arg(500);

void BM_EditorApplyLink(benchmark::State& state) {
    Bench b(50);
    const EditorExpect link{b.last, ElementId(b.table.Element(b.last))};
    const std::string text = "Link { from = 3; scores = 20; To { to = 4; };; };;";
    for (auto _ : state) {
        b.table.Element(b.last)->SetEnabled(false);
        benchmark::DoNotOptimize(b.editor.Apply(link, text));
    }
}
BENCHMARK(BM_EditorApplyLink);

void BM_EditorStateOverHttp(benchmark::State& state) {
    RegisterPhysicsElements();
    RegisterTableElements();
    Table table;
    const std::string text = BigTable(int(state.range(0)));
    table.LoadFromText(text.data(), int(text.size()), "bench.script", "bench");
    std::string error;
    auto developer = DeveloperEditor::Open(table, &error);
    httplib::Client client("127.0.0.1", developer->server().Port());
    client.set_default_headers({{"X-Editor-Token", developer->server().Token()}});
    for (auto _ : state) {
        auto res = client.Get("/api/state");
        if (!res || res->status != 200)
            state.SkipWithError("request failed");
    }
}
BENCHMARK(BM_EditorStateOverHttp)->Arg(50)->Arg(500)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
