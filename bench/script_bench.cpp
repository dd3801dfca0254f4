// Tokenizer and compiler throughput on generated table-like scripts.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>

#include "script/zarnik_script.h"

namespace {

// Letters only: digits would end an identifier.
std::string WordName(std::uint32_t n) {
    std::string s = "w";
    do {
        s += char('a' + n % 26);
        n /= 26;
    } while (n != 0);
    return s;
}

// A script of element blocks of about `bytes` bytes whose words are drawn
// from `distinct` different names (each used at least once when it fits).
std::string MakeScript(std::size_t bytes, std::uint32_t distinct) {
    std::mt19937 rng(42);
    std::string s;
    s.reserve(bytes + 256);
    std::uint32_t next = 0;
    char line[160];
    while (s.size() < bytes) {
        s += "CollisionForm {\r\n";
        for (int k = 0; k < 6 && s.size() < bytes; ++k) {
            std::uint32_t w = next < distinct ? next++ : std::uint32_t(rng() % distinct);
            std::snprintf(line, sizeof line, " %s = %.4f;\r\n name = \"%s\";\r\n type = %u;\r\n",
                          WordName(w).c_str(), double(rng() % 10000) / 10000.0,
                          WordName(std::uint32_t(rng() % distinct)).c_str(), unsigned(rng() % 7));
            s += line;
        }
        s += " Line { atX = 0.1250; atY = 0.5000; toX = 0.7500; toY = 0.2500; };\r\n};;\r\n";
    }
    return s;
}

void BM_Tokenize(benchmark::State& state) {
    const std::string text = MakeScript(std::size_t(state.range(0)), 2000);
    for (auto _ : state) {
        ZarnikScr scr(text.data(), int(text.size()));
        benchmark::DoNotOptimize(scr.TokenCount());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}
BENCHMARK(BM_Tokenize)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void BM_Compile(benchmark::State& state) {
    const std::string text = MakeScript(std::size_t(state.range(0)), std::uint32_t(state.range(1)));
    ZarnikScr scr(text.data(), int(text.size()));
    for (auto _ : state) {
        std::string image;
        benchmark::DoNotOptimize(scr.BuildCompiled(&image));
        benchmark::DoNotOptimize(image.size());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}
BENCHMARK(BM_Compile)
    ->Args({1 << 20, 2000})
    ->Args({20 << 20, 2000})
    ->Args({20 << 20, 200000})
    ->Unit(benchmark::kMillisecond);

// The large case: 20 MB with 200,000 distinct words, tokenized and compiled.
void BM_TokenizeAndCompile20MB(benchmark::State& state) {
    const std::string text = MakeScript(20u << 20, 200000);
    for (auto _ : state) {
        ZarnikScr scr(text.data(), int(text.size()));
        std::string image;
        benchmark::DoNotOptimize(scr.BuildCompiled(&image));
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}
BENCHMARK(BM_TokenizeAndCompile20MB)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
