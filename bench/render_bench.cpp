// Frame composition and the ball's per-frame pixel work, on headless
// surfaces. Run: build-bench/bench/render_bench
#include <benchmark/benchmark.h>

#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "render/display.h"
#include "render/font.h"
#include "render/picture.h"
#include "script/file_access.h"

namespace {

std::string Bmp(int w, int h, std::uint32_t (*colour)(int, int)) {
    auto le32 = [](std::string& s, std::uint32_t v) {
        for (int k = 0; k < 4; ++k)
            s.push_back(char(v >> (8 * k)));
    };
    std::size_t stride = (std::size_t(w) * 3 + 3) & ~std::size_t(3);
    std::string s = "BM";
    le32(s, std::uint32_t(54 + stride * h));
    le32(s, 0);
    le32(s, 54);
    le32(s, 40);
    le32(s, std::uint32_t(w));
    le32(s, std::uint32_t(h));
    s += std::string("\x01\x00\x18\x00", 4);
    for (int i = 0; i < 6; ++i)
        le32(s, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            std::uint32_t c = colour(x, y);
            s.push_back(char(c));
            s.push_back(char(c >> 8));
            s.push_back(char(c >> 16));
        }
        s.append(stride - std::size_t(w) * 3, '\0');
    }
    return s;
}

// Serves the font picture to the font loader.
class MemoryFiles : public ResourceProvider {
public:
    std::string font = Bmp(128, 256, [](int x, int y) {
        return (x % 8 < 6 && y % 16 < 12 && (x + y) % 3) ? 0xE0E0E0u : 0u;
    });
    bool Find(const char* path, const std::uint8_t** data, std::uint32_t* size) const override {
        if (std::strcmp(path, "data\\fonts\\bench.bmp") != 0)
            return false;
        *data = reinterpret_cast<const std::uint8_t*>(font.data());
        *size = std::uint32_t(font.size());
        return true;
    }
};

std::unique_ptr<Picture> FromBytes(const std::string& s, unsigned flags) {
    return std::make_unique<Picture>(reinterpret_cast<const std::uint8_t*>(s.data()), s.size(),
                                     flags);
}

constexpr int kSprites = 100;
constexpr int kTextRuns = 40;
const char* kText = "SCORE 001234500";  // 15 glyphs of 8 x 16

struct Scene {
    Display display;
    MemoryFiles files;
    std::unique_ptr<Picture> background;
    std::vector<std::unique_ptr<Picture>> sprites;
    Font* font = nullptr;

    explicit Scene(int bpp) {
        display.width = 800;
        display.height = 600;
        display.bpp = bpp;
        display.Initialise(nullptr);
        SetResourceProvider(&files);
        background =
            FromBytes(Bmp(800, 600, [](int x, int y) { return std::uint32_t(x ^ y) * 0x010203u; }),
                      PICTURE_SURFACE);
        // Round sprites: the corners are black, so the key matters.
        std::string sprite = Bmp(32, 32, [](int x, int y) {
            int dx = x - 16, dy = y - 16;
            return dx * dx + dy * dy < 196 ? 0x30A0F0u : 0u;
        });
        for (int i = 0; i < kSprites; ++i)
            sprites.push_back(FromBytes(sprite, PICTURE_SURFACE | PICTURE_TRANSPARENT));
        font = CreateFont("data\\fonts\\bench.bmp");
    }
    ~Scene() {
        delete font;
        sprites.clear();
        background.reset();
        SetResourceProvider(nullptr);
        GlobalPictureCache().Clear();
    }
    void Compose() {
        Picture* back = display.BackPicture();
        background->Draw(back, 0, 0);
        for (int i = 0; i < kSprites; ++i)
            sprites[i]->Draw(back, (i * 97) % 780 - 6, (i * 53) % 580);
        for (int i = 0; i < kTextRuns; ++i)
            font->DrawText(back, 10 + (i % 4) * 190, 20 + i * 14, kText, 0);
    }
    std::size_t BytesPerFrame() const {
        std::size_t px = 800 * 600 + kSprites * 32 * 32 + kTextRuns * std::strlen(kText) * 8 * 16;
        return px * std::size_t(display.Format().bits / 8);
    }
};

// This thread's CPU time in microseconds: the machine is shared, so a
// composition is reported as a ratio (x_memcpy) to a memcpy of the same
// bytes measured in the same benchmark, both in CPU time.
double ThreadMicros() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

// Microseconds for one memcpy of `bytes`, over at least 50 ms.
double MemcpyMicros(std::size_t bytes) {
    std::vector<std::uint8_t> src(bytes, 1), dst(bytes);
    int copies = 0;
    const double start = ThreadMicros();
    double now = start;
    while (copies < 20 || now - start < 50000.0) {
        std::memcpy(dst.data(), src.data(), bytes);
        benchmark::ClobberMemory();
        ++copies;
        now = ThreadMicros();
    }
    return (now - start) / copies;
}

void BM_ComposeFrame(benchmark::State& state) {
    Scene scene(int(state.range(0)));
    const double copyBefore = MemcpyMicros(scene.BytesPerFrame());
    long long frames = 0;
    const double start = ThreadMicros();
    for (auto _ : state) {
        scene.Compose();
        benchmark::ClobberMemory();
        ++frames;
    }
    const double perFrame = (ThreadMicros() - start) / double(frames > 0 ? frames : 1);
    // The copy before and after the run: the machine's load drifts.
    const double copy = (copyBefore + MemcpyMicros(scene.BytesPerFrame())) / 2.0;
    state.counters["memcpy_us"] = copy;
    state.counters["x_memcpy"] = perFrame / copy;
    state.SetItemsProcessed(state.iterations());  // frames
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(scene.BytesPerFrame()));
}
BENCHMARK(BM_ComposeFrame)->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);

// The same bytes as one frame's drawing, moved with plain memcpy.
void BM_MemcpyFrameBytes(benchmark::State& state) {
    int bpp = int(state.range(0));
    std::size_t px = 800 * 600 + kSprites * 32 * 32 + kTextRuns * std::strlen(kText) * 8 * 16;
    std::size_t bytes = px * std::size_t(bpp / 8);
    std::vector<std::uint8_t> src(bytes, 1), dst(bytes);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
}
BENCHMARK(BM_MemcpyFrameBytes)->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);

// One ball: grab what lies under it, read it back, bend it through the
// glass map, shade it, add the highlight, upload, and subtract the shadow.
void BM_BallPixelWork(benchmark::State& state) {
    Scene scene(int(state.range(0)));
    scene.Compose();
    Picture under(32, 32, PICTURE_SURFACE | PICTURE_TRANSPARENT);
    Picture ball(32, 32, PICTURE_SURFACE | PICTURE_TRANSPARENT);
    Picture shade(32, 32, 0), light(32, 32, 0), shadow(32, 32, 0);
    std::vector<std::uint32_t> heights(32 * 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            int dx = x - 16, dy = y - 16, d = dx * dx + dy * dy;
            heights[y * 32 + x] = d < 256 ? std::uint32_t(255 - d) : 0;
            shade.Pixels()[y * 32 + x] = d < 256 ? 0x00C0C0C0u : 0;
            light.Pixels()[y * 32 + x] = d < 20 ? 0x00404040u : 0;
            shadow.Pixels()[y * 32 + x] = d < 256 ? 0x00101010u : 0;
        }
    DisplacementMap map;
    BuildDisplacementMapFromPixels(heights.data(), 32, 32, &map);
    int i = 0;
    for (auto _ : state) {
        int x = 100 + (i % 600), y = 80 + (i % 400);
        ++i;
        under.Grab(scene.display.BackPicture(), x, y);
        under.ReadBack();
        ball.Remap(&under, map);
        ball.Blend(&shade, 160, 256);
        ball.Add(&light);
        ball.Upload();
        ball.Subtract(&shadow);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());  // balls
}
BENCHMARK(BM_BallPixelWork)->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
