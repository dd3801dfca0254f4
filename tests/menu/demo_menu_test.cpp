// The menu script of the test data, clicked through by a scripted pointer and
// keyboard the way a player would, and drawn to build/testrun/menu.png (the
// main page) and menu_options.png (the options page) for a reviewer to see:
//   ctest --test-dir build -R MenuDemo
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "menu/menu_buttons.h"
#include "menu/menu_sliders.h"
#include "menu/menu_text_fields.h"
#include "tests/menu/menu_fixture.h"

namespace {

using MenuDemo = MenuTest;

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, int t, int range) {
    std::uint32_t out = 0;
    for (int s = 0; s < 24; s += 8) {
        int ca = int(a >> s & 0xFF), cb = int(b >> s & 0xFF);
        out |= std::uint32_t(ca + (cb - ca) * t / std::max(range, 1)) << s;
    }
    return out;
}

// A vertical gradient with a 2-pixel border (unless 0) and the idle look of
// buttons and fields at the given rectangles.
std::string Art(int w, int h, std::uint32_t top, std::uint32_t bottom, std::uint32_t border,
                std::vector<std::array<int, 4>> plates = {}) {
    return MakeBmp(w, h, [=](int x, int y) {
        auto in = [&](const std::array<int, 4>& r, int m) {
            return x >= r[0] + m && x < r[0] + r[2] - m && y >= r[1] + m && y < r[1] + r[3] - m;
        };
        for (const auto& p : plates) {
            if (in(p, 0))
                return in(p, 2) ? 0x28325Au : 0x5A6EB4u;
        }
        return border && !in({0, 0, w, h}, 2) ? border : Mix(top, bottom, y, h);
    });
}

void MakeArt() {
    WriteFile("menudemo/back.bmp",
              Art(800, 600, 0x0A1440, 0x200A28, 0,
                  {{270, 200, 260, 44}, {270, 260, 260, 44}, {270, 320, 260, 44}}));
    WriteFile("menudemo/panel.bmp",
              Art(800, 600, 0x0A2830, 0x081418, 0,
                  {{270, 440, 260, 44}, {400, 290, 220, 30}, {400, 340, 220, 30}}));
    WriteFile("menudemo/lit.bmp", Art(260, 44, 0xFFC850, 0xC87814, 0xFFF0C0));
    WriteFile("menudemo/pressed.bmp", Art(260, 44, 0xAA5A14, 0x783C0A, 0xFFD080));
    WriteFile("menudemo/field.bmp", Art(220, 30, 0x14203C, 0x14203C, 0x78AAFF));
    WriteFile("menudemo/off.bmp",
              MakeBmp(60, 28, [](int x, int) { return x < 28 ? 0xC8C8C8u : 0x8C1E1Eu; }));
    WriteFile("menudemo/on.bmp",
              MakeBmp(60, 28, [](int x, int) { return x >= 32 ? 0xC8C8C8u : 0x1E8C32u; }));
    for (int i = 0; i <= 10; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "menudemo/vol%04d.bmp", i);
        WriteFile(name, MakeBmp(200, 20, [i](int x, int) {
                      return x < i * 20 ? Mix(0x32C850, 0xF0DC32, x, 200) : 0x282828u;
                  }));
    }
    WriteFile("menudemo/caret0000.bmp", SolidBmp(2, 20, 0xFFFFFF));
    WriteFile("menudemo/caret0001.bmp", SolidBmp(2, 20, 0x808080));
    // The game's generated fonts when the build has made them, else plain cells.
    for (const char* font : {"default", "msgfnt", "bigfnt"}) {
        std::string bytes =
            ReadFile(std::string(ZARNIK_BINARY_DIR) + "/data/fonts/" + font + ".bmp");
        WriteFile(std::string("menudemo/fonts/") + font + ".bmp",
                  bytes.empty() ? SolidBmp(160, 320, 0xFFFFFF) : bytes);
    }
    WriteFile("menudemo/demo_menu.script",
              ReadFile(std::string(ZARNIK_SOURCE_DIR) + "/tests/menu/data/demo_menu.script"));
}

std::string HintOf(const char* page) {
    FixedString<256> text;
    Menus().Find(page)->GetString("HINT", &text);
    return std::string(text.view());
}

TEST_F(MenuDemo, TheTestMenuIsClickedThroughAndDrawn) {
    MakeArt();
    ASSERT_TRUE(Menus().LoadRoot("menudemo\\demo_menu.script"));
    MenuWrapper* root = Menus().root.get();
    root->Activate();
    // What the program publishes on entering the menu.
    Menus().SetInt("FULLSCREEN", 0);
    Menus().SetFloat("AUDIOVOLUME", 0.3f);
    Menus().SetString("PLAYER_NAME", "");

    Pointer(400, 220);
    Frame();
    Redraw();
    EXPECT_EQ(HintOf("MAIN"), "Start a game on the selected table");
    EXPECT_GT(Pixel(280, 203) >> 16, 0xF0u) << "START lit under the pointer";
    EXPECT_EQ(Pixel(280, 323), 0x28325Au) << "EXIT idle on the background";
    EXPECT_TRUE(display.SaveBackSurface("../menu.png"));

    Click(400, 280);
    EXPECT_EQ(Menus().TakeLastClicked(), Get("OPTIONS"));
    EXPECT_EQ(root->Child(root->focused), Get("OPTIONS"));
    Click(430, 190);
    EXPECT_EQ(Menus().TakeLastClicked(), Get("FULLSCREEN"));
    std::int32_t fullscreen = -1;
    EXPECT_TRUE(Menus().GetInt("FULLSCREEN", &fullscreen));
    EXPECT_EQ(fullscreen, 1);
    Click(550, 250);
    EXPECT_FLOAT_EQ(Get<MenuSlider>("AUDIOVOLUME")->value, 0.75f);
    Click(500, 350);
    // 84 has no key name and is passed over; Right Ctrl (157) is the first named key.
    Keys({84, 157, 200});
    EXPECT_FALSE(Get("LEFTHANDLE_CONTROL")->active);
    Keys({});
    Click(500, 300);
    for (int key : {30, 49, 49}) {  // a, n, n
        Keys({key});
        Keys({});
    }
    Pointer(400, 460);
    Frame();
    EXPECT_EQ(HintOf("OPTIONS_PAGE"), "Back to the main menu");
    Redraw();
    EXPECT_EQ(Pixel(440, 190), 0xC8C8C8u) << "the switch shows on";
    EXPECT_NE(Pixel(400 + 139, 245), 0x282828u) << "volume frame 7 filled to 140";
    EXPECT_EQ(Pixel(400 + 141, 245), 0x282828u);
    EXPECT_TRUE(display.SaveBackSurface("../menu_options.png"));

    FixedString<256> name, key;
    EXPECT_TRUE(Menus().GetString("PLAYER_NAME", &name));
    EXPECT_TRUE(Menus().GetString("LEFTHANDLE_CONTROL", &key));
    EXPECT_EQ(name, "ann");
    EXPECT_EQ(key, "RCONTROL");

    // Back: the program closes the back button's grandparent.
    Click(400, 460);
    MenuWrapper* back = Menus().TakeLastClicked();
    ASSERT_EQ(back, Get("DEACTIVATEMENU"));
    EXPECT_EQ(back->action, ACTION_DEACTIVATEMENU);
    back->parent->parent->Deactivate();
    EXPECT_EQ(root->focused, -1);
    Click(400, 220);
    EXPECT_EQ(Menus().TakeLastClicked()->action, ACTION_START);
}

}  // namespace
