// One menu frame, headless: a page of 12 buttons with highlights, a switch,
// a slider, an edit field and an 800 x 600 background, stepped with a moving
// pointer and drawn into an 800 x 600 back surface; the same page driven by
// keys; and the page's read.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "menu/menu_wrapper.h"
#include "render/display.h"
#include "render/font.h"
#include "render/picture.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"

namespace {

const std::string kDir = "menu_bench_files";

void WriteBmp(const std::string& name, int w, int h, std::uint32_t rgb) {
    auto le = [](std::string& s, std::uint32_t v) {
        for (int k = 0; k < 4; ++k)
            s.push_back(char(v >> (8 * k)));
    };
    std::size_t stride = (std::size_t(w) * 3 + 3) & ~std::size_t(3);
    std::string s = "BM";
    for (std::uint32_t v : {std::uint32_t(54 + stride * h), 0u, 54u, 40u, std::uint32_t(w),
                            std::uint32_t(h), 1u | 24u << 16, 0u, 0u, 0u, 0u, 0u, 0u})
        le(s, v);
    std::string row(stride, '\0');
    for (int x = 0; x < w; ++x) {
        row[std::size_t(x) * 3] = char(rgb);
        row[std::size_t(x) * 3 + 1] = char(rgb >> 8);
        row[std::size_t(x) * 3 + 2] = char(rgb >> 16);
    }
    for (int y = 0; y < h; ++y)
        s += row;
    std::ofstream(kDir + "/" + name, std::ios::binary) << s;
}

std::string PageScript() {
    std::filesystem::create_directories(kDir);
    WriteBmp("back.bmp", 800, 600, 0x203040);
    WriteBmp("lit.bmp", 260, 44, 0xFFC850);
    WriteBmp("font.bmp", 192, 352, 0xFFFFFF);
    for (int i = 0; i < 11; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "vol%04d.bmp", i);
        WriteBmp(name, 200, 20, 0x30C050);
    }
    const std::string d = kDir + "\\";
    std::string s = "MenuWrapper { MenuEditControl { name = \"HINT\"; font = \"" + d +
                    "font.bmp\"; x = 100; y = 560; };";
    for (int i = 0; i < 12; ++i) {
        int x = 20 + (i % 3) * 270, y = 40 + (i / 3) * 60;
        s += " MenuButton { name = \"B" + std::to_string(i) + "\"; hint = \"button " +
             std::to_string(i) + "\"; tx = " + std::to_string(x) + "; ty = " + std::to_string(y) +
             "; tw = 260; th = 44; MenuPicture { x = " + std::to_string(x) +
             "; y = " + std::to_string(y) + "; filename = \"" + d + "lit.bmp\"; }; };";
    }
    s += " MenuSwitch { tx = 100; ty = 300; MenuPicture { filename = \"" + d +
         "lit.bmp\"; }; MenuPicture { filename = \"" + d + "lit.bmp\"; }; };";
    s += " MenuSlider { x = 100; y = 360; tx = 100; ty = 360; tw = 200; th = 20; filestart = \"" +
         d + "vol\"; fileend = \".bmp\"; filecount = 11; };";
    s += " MenuEditControl { editable = 1; x = 100; y = 420; tx = 100; ty = 420; tw = 300;"
         " th = 30; Caption = \"player one\"; font = \"" +
         d + "font.bmp\"; };";
    s += " MenuPicture { filename = \"" + d + "back.bmp\"; transparent = 0; }; };";
    return s;
}

void ReadPage(const std::string& text) {
    ZarnikScr scr(text.data(), int(text.size()));
    Menus().ReadRoot(SubBlock(WholeScript(scr), 1));
}

// An 800 x 600 display with the bench page open; what it loaded goes with it.
struct OpenPage {
    OpenPage() {
        display.width = 800;
        display.height = 600;
        display.bpp = 32;
        display.Initialise(nullptr);
        ReadPage(PageScript());
        Menus().root->Activate();
    }
    ~OpenPage() {
        Menus().Reset();
        GlobalFontCache().Clear();
        GlobalPictureCache().Clear();
    }
    Display display;
};

void BM_MenuFrame(benchmark::State& state) {
    OpenPage page;
    MenuWrapper* root = Menus().root.get();
    int step = 0;
    for (auto _ : state) {
        Menus().pointerX = (step * 7) % 800;
        Menus().pointerY = (step * 3) % 600;
        Menus().leftButton = (step / 10) % 2 == 0;
        ++step;
        root->Update(0.01f);
        root->Draw(page.display.BackPicture(), 0, 0);
        benchmark::DoNotOptimize(Menus().TakeLastClicked());
    }
}
BENCHMARK(BM_MenuFrame);

// What keys add to a menu frame while they drive: the page's stops found
// and sorted, the highlight moved every other frame, the pointer placed.
void BM_MenuNavigation(benchmark::State& state) {
    OpenPage page;
    MenuKeys keys;
    for (auto _ : state) {
        keys.down = !keys.down;
        benchmark::DoNotOptimize(Menus().navigator.Frame(Menus(), keys));
    }
}
BENCHMARK(BM_MenuNavigation);

void BM_MenuRead(benchmark::State& state) {
    Display display;
    display.width = 800;
    display.height = 600;
    display.bpp = 32;
    display.Initialise(nullptr);
    const std::string text = PageScript();
    // Each read replaces the tree, so its pictures and font load from files again.
    for (auto _ : state)
        ReadPage(text);
    Menus().Reset();
    GlobalFontCache().Clear();
    GlobalPictureCache().Clear();
}
BENCHMARK(BM_MenuRead);

}  // namespace

BENCHMARK_MAIN();
