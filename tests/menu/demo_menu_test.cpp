// The menu script of the test data, clicked through by a scripted pointer and
// keyboard the way a player would, and drawn to build/testrun/menu.png (the
// main page) and menu_options.png (the options page) for a reviewer to see:
//   ctest --test-dir build -R MenuDemo
#include "tests/menu/menu_fixture.h"

namespace {

using MenuDemo = MenuTest;

// A plate of one colour inside a 2-pixel border (unless 0).
std::string Art(int w, int h, std::uint32_t fill, std::uint32_t border = 0) {
    return MakeBmp(w, h, [=](int x, int y) {
        return border && (x < 2 || y < 2 || x >= w - 2 || y >= h - 2) ? border : fill;
    });
}

void MakeArt() {
    WriteFile("menudemo/back.bmp", Art(800, 600, 0x0A1440));
    WriteFile("menudemo/panel.bmp", Art(800, 600, 0x0A2830));
    WriteFile("menudemo/lit.bmp", Art(260, 44, 0xFFC850, 0xFFF0C0));
    WriteFile("menudemo/pressed.bmp", Art(260, 44, 0xAA5A14, 0xFFD080));
    WriteFile("menudemo/field.bmp", Art(220, 30, 0x14203C, 0x78AAFF));
    WriteFile("menudemo/off.bmp",
              MakeBmp(60, 28, [](int x, int) { return x < 28 ? 0xC8C8C8u : 0x8C1E1Eu; }));
    WriteFile("menudemo/on.bmp",
              MakeBmp(60, 28, [](int x, int) { return x >= 32 ? 0xC8C8C8u : 0x1E8C32u; }));
    for (int i = 0; i <= 10; ++i)  // vol0000.bmp to vol0010.bmp
        WriteFile("menudemo/vol00" + std::to_string(100 + i).substr(1) + ".bmp",
                  MakeBmp(200, 20, [i](int x, int) { return x < i * 20 ? 0x32C850u : 0x282828u; }));
    WriteFile("menudemo/caret0000.bmp", SolidBmp(2, 20, 0xFFFFFF));
    WriteFile("menudemo/caret0001.bmp", SolidBmp(2, 20, 0x808080));
    for (std::string font : {"default", "msgfnt", "bigfnt"})
        WriteFile("menudemo/fonts/" + font + ".bmp",
                  ReadFile(std::string(ZARNIK_BINARY_DIR) + "/data/fonts/" + font + ".bmp"));
}

TEST_F(MenuDemo, TheTestMenuIsClickedThroughAndDrawn) {
    MakeArt();
    ASSERT_TRUE(Menus().LoadRoot(ZARNIK_SOURCE_DIR "/tests/menu/data/demo_menu.script"));
    MenuWrapper* root = Menus().root.get();
    root->Activate();
    auto hint = [&](const char* page) {
        return std::string(Get(page)->Find("HINT")->StringValue()->view());
    };
    // What the program publishes on entering the menu.
    Menus().SetInt("FULLSCREEN", 0);
    Menus().SetFloat("AUDIOVOLUME", 0.3f);
    Menus().SetString("PLAYER_NAME", "");

    FrameAt(400, 220);
    Redraw();
    EXPECT_EQ(hint("MAIN"), "Start a game on the selected table");
    EXPECT_GT(Pixel(280, 203) >> 16, 0xF0u) << "START lit under the pointer";
    EXPECT_LT(Pixel(280, 323) >> 16, 0x40u) << "EXIT idle on the background";
    EXPECT_TRUE(display.SaveBackSurface("../menu.png"));

    Click(400, 280);
    EXPECT_EQ(Menus().TakeLastClicked(), Get("OPTIONS"));
    EXPECT_EQ(root->Child(root->focused), Get("OPTIONS"));
    Click(430, 190);
    EXPECT_EQ(Menus().TakeLastClicked(), Get("FULLSCREEN"));
    EXPECT_EQ(Get<MenuSwitch>("FULLSCREEN")->state, 1);
    Click(550, 250);
    EXPECT_FLOAT_EQ(Get<MenuSlider>("AUDIOVOLUME")->value, 0.75f);
    Click(500, 350);
    // 84 has no key name and is passed over; Right Ctrl (157) is the first named key.
    Keys({84, 157, 200});
    EXPECT_FALSE(Get("LEFTHANDLE_CONTROL")->active);
    EXPECT_EQ(Get<MenuEditControl>("LEFTHANDLE_CONTROL")->text, "RCONTROL");
    Keys({});
    Click(500, 300);
    for (int key : {30, 49, 49}) {  // a, n, n
        Keys({key});
        Keys({});
    }
    EXPECT_EQ(Get<MenuEditControl>("PLAYER_NAME")->text, "ann");
    FrameAt(400, 460);
    EXPECT_EQ(hint("OPTIONS_PAGE"), "Back to the main menu");
    Redraw();
    EXPECT_EQ(Pixel(440, 190), 0xC8C8C8u) << "the switch shows on";
    EXPECT_NE(Pixel(400 + 139, 245), 0x282828u) << "volume frame 7 filled to 140";
    EXPECT_EQ(Pixel(400 + 140, 245), 0x282828u);
    EXPECT_TRUE(display.SaveBackSurface("../menu_options.png"));

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
