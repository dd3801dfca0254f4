// Decoding clips into pictures and loading waves, headless.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "audio/sound_system.h"
#include "render/avi_video.h"
#include "render/display.h"
#include "render/picture.h"

namespace {

const std::string kDir = "media_bench_files";

void PutLe(std::string& s, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        s.push_back(char(v >> (8 * i)));
}

// A 0.2 s mono 16-bit wave at 22050 Hz.
std::string ShortWave(double hz) {
    std::string pcm;
    for (int i = 0; i < 4410; ++i)
        PutLe(pcm, std::uint32_t(std::int16_t(8000 * std::sin(hz * i / 3511.0))), 2);
    std::string w = "RIFF";
    PutLe(w, std::uint32_t(36 + pcm.size()), 4);
    w += "WAVEfmt ";
    PutLe(w, 16, 4);
    PutLe(w, 1, 2);
    PutLe(w, 1, 2);
    PutLe(w, 22050, 4);
    PutLe(w, 44100, 4);
    PutLe(w, 2, 2);
    PutLe(w, 16, 2);
    w += "data";
    PutLe(w, std::uint32_t(pcm.size()), 4);
    return w + pcm;
}

void BM_DecodeMjpeg320x240IntoPicture(benchmark::State& state) {
    std::string clip = kDir + "/mjpeg320.avi";
    if (!std::filesystem::exists(clip)) {
        std::string cmd =
            "ffmpeg -v error -y -f lavfi -i testsrc=s=320x240:r=25 -frames:v 100 -c:v mjpeg -q:v "
            "3 " +
            clip;
        if (std::system(cmd.c_str()) != 0) {
            state.SkipWithError("no ffmpeg command");
            return;
        }
    }
    Display display;
    display.width = 320;
    display.height = 240;
    display.bpp = 32;
    display.Initialise(nullptr);
    AviVideo video(clip.c_str(), "bench");
    if (!video.IsOpen()) {
        state.SkipWithError("clip did not open");
        return;
    }
    std::int64_t frames = 0;
    for (auto _ : state) {
        video.Play();
        // One new frame per update, 100 frames.
        while (video.playing) {
            video.Update(1.0f / 25.0f);
            ++frames;
        }
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeMjpeg320x240IntoPicture)->Unit(benchmark::kMillisecond);

void BM_Load50ShortWaves(benchmark::State& state) {
    for (int i = 0; i < 50; ++i) {
        std::ofstream(kDir + "/w" + std::to_string(i) + ".wav", std::ios::binary)
            << ShortWave(200 + 10 * i);
    }
    GetSoundSystem().Initialise(nullptr);
    for (auto _ : state) {
        for (int i = 0; i < 50; ++i) {
            std::string name = kDir + "/w" + std::to_string(i) + ".wav";
            auto sound = GetSoundSystem().LoadSound(name.c_str());
            benchmark::DoNotOptimize(sound->HasBuffer());
        }
    }
    GetSoundSystem().Release();
}
BENCHMARK(BM_Load50ShortWaves)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("ZARNIK_MESSAGES", "stderr", 0);
    std::filesystem::create_directories(kDir);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
