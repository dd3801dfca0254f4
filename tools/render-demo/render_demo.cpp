// Draws a picture, an animation's frames and a font's text into an 800 x 600
// back surface, headless, and saves it, so the drawing can be looked at.
//   render-demo [out.png|out.bmp] [16|24|32] [--show]
// With --show the frame is also presented in a window for two seconds (needs
// a display; under xvfb-run it exercises the real present path).
// Every image is made here and served from memory; no data files are needed.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "platform/clock.h"
#include "platform/window.h"
#include "render/display.h"
#include "render/font.h"
#include "render/frame_animation.h"
#include "render/picture.h"
#include "script/file_access.h"

namespace {

using Painter = std::uint32_t (*)(int x, int y, const void* context);

std::string Bmp(int w, int h, Painter paint, const void* context = nullptr) {
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
            std::uint32_t c = paint(x, y, context);
            s.push_back(char(c));
            s.push_back(char(c >> 8));
            s.push_back(char(c >> 16));
        }
        s.append(stride - std::size_t(w) * 3, '\0');
    }
    return s;
}

// 5 x 7 glyphs of the characters the demo writes; 16 x 16 pixel cells.
const std::map<char, const char*>& Glyphs() {
    static const std::map<char, const char*> glyphs = {
        {'A', ".###.#...##...#######...##...##...#"}, {'D', "####.#...##...##...##...##...#####."},
        {'E', "######....#....####.#....#....#####"}, {'I', "#####..#....#....#....#....#..#####"},
        {'K', "#...##..#.#.#..##...#.#..#..#.#...#"}, {'M', "#...###.###.#.##.#.##...##...##...#"},
        {'N', "#...###..##.#.##..###...##...##...#"}, {'O', ".###.#...##...##...##...##...#.###."},
        {'R', "####.#...##...#####.#.#..#..#.#...#"}, {'Z', "#####....#...#...#...#...#....#####"},
        {'0', ".###.#...##..###.#.###..##...#.###."}, {'1', "..#...##....#....#....#....#...###."},
        {'2', ".###.#...#....#...#...#...#...#####"}, {'3', "####.....#....#.###.....#....#####."},
        {'4', "#...##...##...######....#....#....#"}, {'5', "######....####.....#....##...#.###."},
        {'6', ".###.#....####.#...##...##...#.###."}, {'7', "#####....#...#...#....#....#....#.."},
        {'8', ".###.#...##...#.###.#...##...#.###."}, {'9', ".###.#...##...#.####....#....#.###."},
        {'!', "..#....#....#....#....#.........#.."},
    };
    return glyphs;
}

std::uint32_t FontPixel(int x, int y, const void*) {
    int c = (y / 16) * 16 + x / 16;
    int gx = (x % 16) / 2 - 1, gy = (y % 16) / 2;  // 2x scale, one column of margin
    auto it = Glyphs().find(char(c));
    if (it == Glyphs().end() || gx < 0 || gx >= 5 || gy >= 7)
        return 0;
    std::size_t i = std::size_t(gy * 5 + gx);
    if (i >= std::strlen(it->second))
        return 0;
    return it->second[i] == '#' ? 0xFFE070u : 0u;
}

std::uint32_t TablePixel(int x, int y, const void*) {
    int dx = x - 200, dy = y - 150;
    if (dx * dx + dy * dy < 60 * 60)
        return 0xC03020u;  // a bumper
    return std::uint32_t(20 + y / 3) << 8 | std::uint32_t(40 + x / 4);
}

std::uint32_t SpinPixel(int x, int y, const void* context) {
    int frame = *static_cast<const int*>(context);
    int dx = x - 24, dy = y - 24;
    if (dx * dx + dy * dy > 22 * 22)
        return 0;  // transparent outside the disc
    // A bar that turns by 45 degrees a frame.
    static const int dirs[4][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}};
    int ax = dirs[frame % 4][0], ay = dirs[frame % 4][1];
    int cross = dx * ay - dy * ax;
    return (cross * cross <= 16 * (ax * ax + ay * ay)) ? 0xFFFFFFu : 0x2040A0u;
}

class DemoFiles : public ResourceProvider {
public:
    std::map<std::string, std::string> files;
    bool Find(const char* path, const std::uint8_t** data, std::uint32_t* size) const override {
        auto it = files.find(path);
        if (it == files.end())
            return false;
        *data = reinterpret_cast<const std::uint8_t*>(it->second.data());
        *size = std::uint32_t(it->second.size());
        return true;
    }
};

}  // namespace

int main(int argc, char** argv) {
    const char* out = argc > 1 ? argv[1] : "render-demo.png";
    DemoFiles files;
    files.files["demo\\font.bmp"] = Bmp(256, 256, FontPixel);
    files.files["demo\\table.bmp"] = Bmp(400, 300, TablePixel);
    for (int i = 0; i < 4; ++i) {
        char name[260];
        FrameFileName(name, "demo\\spin", i, ".bmp");
        files.files[name] = Bmp(48, 48, SpinPixel, &i);
    }
    SetResourceProvider(&files);

    bool show = argc > 3 && std::strcmp(argv[3], "--show") == 0;
    platform::Window window;
    if (show && !window.Create("render-demo", 800, 600, false))
        return 1;
    Display display;
    display.bpp = argc > 2 ? std::atoi(argv[2]) : 32;
    if (!display.Initialise(show ? &window : nullptr))
        return 1;
    Picture* back = display.BackPicture();
    display.BackSurface()->Fill(platform::PackColor(display.Format(), 16, 16, 40));

    Picture table("demo\\table.bmp", PICTURE_SURFACE);
    table.Draw(back, 200, 150);
    table.Draw(back, -300, 450);  // cut at the left and bottom edges

    FrameAnimation spin("demo\\spin", ".bmp", 4, 0, 0);
    spin.playing = true;
    for (int i = 0; i < 4; ++i) {
        spin.Draw(back, 230 + i * 90, 480);
        spin.Advance(spin.frameTime);
    }

    Font* font = CreateFont("demo\\font.bmp");
    font->DrawText(back, 400, 40, "ZARNIK DEMO", TEXT_CENTER_X);
    font->DrawText(back, 400, 90, "12345\\n67890!", TEXT_CENTER_X);
    font->DrawText(back, -24, 560, "ZARNIK", 0);
    display.DrawOutline(back, 190, 140, 610, 460);
    delete font;

    for (std::uint32_t start = platform::Ticks(); show && platform::Ticks() - start < 2000;) {
        platform::WindowEvent e;
        while (window.PollEvent(&e)) {
        }
        display.Present();
    }
    bool saved = display.SaveBackSurface(out);
    std::printf("%s %s\n", saved ? "saved" : "could not save", out);
    GlobalPictureCache().Clear();
    SetResourceProvider(nullptr);
    return saved ? 0 : 1;
}
