// Tokenizer and compiler throughput on generated table-like scripts.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "script/pool_builder.h"
#include "script/zarnik_script.h"

namespace {

// Made-up names of 2 to 6 syllables, as table authors' names repeat their
// syllables; letters only, since digits would end an identifier.
std::vector<std::string> MakeWords(std::uint32_t count, std::mt19937* rng) {
    static const char* kConsonants = "bcdfghklmnprstvz";
    static const char* kVowels = "aeiou";
    std::vector<std::string> words;
    std::unordered_set<std::string> seen;
    while (words.size() < count) {
        std::string w;
        for (unsigned k = 2 + (*rng)() % 5; k > 0; --k) {
            w += kConsonants[(*rng)() % 16];
            w += kVowels[(*rng)() % 5];
        }
        if (seen.insert(w).second)
            words.push_back(w);
    }
    return words;
}

// A script of element blocks of about `bytes` bytes whose words are drawn
// from `distinct` different names (each used at least once while the size
// allows): quoted names and file names, bare words, numbers, comments.
std::string MakeScript(std::size_t bytes, std::uint32_t distinct) {
    std::mt19937 rng(42);
    const std::vector<std::string> words = MakeWords(distinct, &rng);
    std::size_t next = 0;
    auto word = [&]() -> const std::string& {
        return next < words.size() ? words[next++] : words[rng() % words.size()];
    };
    std::string s;
    s.reserve(bytes + 512);
    char line[256];
    while (s.size() < bytes) {
        s += "// element\r\nCollisionForm {\r\n";
        std::snprintf(line, sizeof line, " name = \"%s\";\r\n", word().c_str());
        s += line;
        for (int k = 0; k < 4; ++k) {
            std::snprintf(line, sizeof line,
                          " atX = %.4f;\r\n\ttype = %u;\r\n filestart = \"data\\%s.bmp\";\r\n"
                          " next = %s;\r\n",
                          double(rng() % 10000) / 10000.0, unsigned(rng() % 7), word().c_str(),
                          word().c_str());
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
BENCHMARK(BM_Tokenize)->Arg(1 << 20)->Arg(20 << 20)->Unit(benchmark::kMillisecond);

// Compiling tokens already there: the pool and the token table.
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
    ->Args({20 << 20, 300000})
    ->Unit(benchmark::kMillisecond);

// The same pool built by the suffix automaton alone (the fallback for
// pathological scripts), on a smaller script.
void BM_PoolFallback(benchmark::State& state) {
    const std::string text = MakeScript(std::size_t(state.range(0)), std::uint32_t(state.range(1)));
    ZarnikScr scr(text.data(), int(text.size()));
    for (auto _ : state) {
        PoolBuilder pool;
        pool.SetWorkPerByte(0);
        for (const ZarnikTokDef& tok : scr.tokens) {
            if (tok.type == TOK_WORD)
                pool.Add(std::string_view(scr.text.get() + tok.offset, std::size_t(tok.length)));
        }
        pool.Build();
        benchmark::DoNotOptimize(pool.Bytes().size());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}
BENCHMARK(BM_PoolFallback)->Args({2 << 20, 30000})->Unit(benchmark::kMillisecond);

// The large case, as tokmill does it: 20 MB with 300,000 distinct words,
// tokenized and compiled.
void BM_TokenizeAndCompile20MB(benchmark::State& state) {
    const std::string text = MakeScript(20u << 20, 300000);
    for (auto _ : state) {
        ZarnikScr scr(text.data(), int(text.size()));
        std::string image;
        benchmark::DoNotOptimize(scr.BuildCompiled(&image));
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}
BENCHMARK(BM_TokenizeAndCompile20MB)->Unit(benchmark::kSecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
