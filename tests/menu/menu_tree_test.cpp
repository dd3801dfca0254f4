#include "tests/menu/menu_fixture.h"

namespace {

using MenuRouting = MenuTest;
using MenuLookups = MenuTest;
using MenuHints = MenuTest;
using MenuReading = MenuTest;

TEST_F(MenuRouting, CascadeAndFocusChooseWhichChildrenStepAndDraw) {
    // Three buttons over each other, each lit in its own colour: the first is
    // drawn last (on top) and stepped last (its click is the one kept).
    auto button = [&](const char* n, std::uint32_t rgb) {
        return "MenuButton { name = \"" + std::string(n) + "\"; " + Pic(Bmp(n, rgb)) + " };";
    };
    MenuWrapper* root = Root("MenuWrapper { x = 5; " + button("0", 0xFF0000) +
                             button("1", 0x00FF00) + button("2", 0x0000FF) + " };");
    // cascade, focused child, open; the button clicked and the colour shown.
    const std::tuple<int, int, bool, const char*, std::uint32_t> cases[] = {
        {0, -1, true, "0", 0xFF0000},
        {0, 1, true, "1", 0x00FF00},
        {1, 1, true, "0", 0xFF0000},
        {0, -1, false, "none", 0}};
    for (const auto& [cascade, focused, active, clicked, shown] : cases) {
        root->cascade = cascade;
        root->focused = focused;
        root->active = active;
        Click(10, 10);
        EXPECT_EQ(Menus().TakeLastClicked(), Get(clicked)) << cascade << " " << focused;
        FrameAt(10, 10);
        Redraw();
        ExpectShown({{5, 0, shown}, {4, 0, 0}});
    }
}

TEST_F(MenuRouting, RectanglesStartAtTheParentChainAsTheScriptHasSetIt) {
    Root(
        "MenuWrapper { x = 5; y = 7; MenuWrapper { x = 20; MenuButton { name = \"A\"; }; }; y = "
        "100;"
        "  MenuWrapper { x = 1; y = 9; MenuSwitch { name = \"S\"; }; MenuEditControl { ty = 4; }; "
        "}; };");
    // A's ty is the root's 7: the root's y = 100 comes later in the script.
    EXPECT_EQ(Get<MenuButton>("A")->tx, 25);
    EXPECT_EQ(Get<MenuButton>("A")->ty, 7);
    EXPECT_EQ(Get<MenuSwitch>("S")->tx, 6);
    EXPECT_EQ(Get<MenuSwitch>("S")->ty, 109);
    EXPECT_EQ(dynamic_cast<MenuEditControl*>(Get<MenuSwitch>("S")->parent->Child(1))->ty, 4);
}

TEST_F(MenuRouting, ActivateOpensTheParentsAndDeactivateClosesTheSubtree) {
    MenuWrapper* root = Root("MenuWrapper { MenuWrapper { MenuWrapper { }; }; MenuWrapper { }; };");
    MenuWrapper* leaf = root->Child(0)->Child(0);
    leaf->Activate();
    EXPECT_TRUE(root->Child(0)->active && leaf->IsShown());
    root->focused = 1;
    root->Child(0)->Deactivate();
    EXPECT_FALSE(root->Child(0)->active || leaf->active);
    EXPECT_EQ(root->focused, 1) << "only the focused child's close drops the focus";
    root->focused = 0;
    root->Child(0)->Deactivate();
    EXPECT_EQ(root->focused, -1);
}

TEST_F(MenuLookups, DepthFirstWithChildrenFromLastToFirst) {
    MenuWrapper* root = Root(
        "MenuWrapper { MenuSwitch { name = \"V\"; MenuWrapper { }; };"
        "  MenuWrapper { MenuSwitch { name = \"V\"; MenuWrapper { }; MenuWrapper { }; }; };"
        "  MenuEditControl { name = \"V\"; Caption = \"text\"; };"
        "  MenuAnimation { name = \"SEL\"; filecount = 2; frametime = 0.1; playnow = 1; temp = 1; "
        "};"
        "  MenuAnimation { name = \"SEL\"; filecount = 2; frametime = 0.1; temp = 1; }; };");
    EXPECT_EQ(Menus().Find("V"), root->Child(2));
    EXPECT_EQ(Menus().Find("v"), nullptr) << "names compare with case";
    EXPECT_TRUE(Menus().SetInt("V", 5));
    EXPECT_EQ(dynamic_cast<MenuSwitch*>(root->Child(1)->Child(0))->state, 5);
    EXPECT_EQ(dynamic_cast<MenuSwitch*>(root->Child(0))->state, -1);
    float f = 0.0f;
    EXPECT_FALSE(Menus().GetFloat("V", &f)) << "none of them has a real value";
    // The later animation is asked first and accepts; then both are playing.
    EXPECT_TRUE(Menus().PlayByName("SEL", 3, true));
    EXPECT_TRUE(dynamic_cast<MenuAnimation*>(root->Child(4))->animation->playing);
    EXPECT_FALSE(Menus().PlayByName("SEL", 3, true));
}

TEST_F(MenuLookups, ActionAndClassNumbersComeFromExactNames) {
    int number = 0;
    for (const char* name : {"START", "EXIT", "DEACTIVATEMENU", "FULLSCREEN", "TRUECOLOR",
                             "AUDIOVOLUME", "NEXTGAME", "PREVGAME", "GAMESELECTOR"})
        EXPECT_EQ(MenuActionFromName(name), ++number) << name;
    for (const char* name : {"", "exit", "EXIT ", "CDVOLUME"})
        EXPECT_EQ(MenuActionFromName(name), ACTION_NONE) << name;
    // A block of another name (case counts) is skipped whole, keys inside it unread.
    MenuWrapper* root = Root("MenuWrapper { Thing { MenuButton { }; x = 4; }; menubutton { }; };");
    EXPECT_EQ(root->ChildCount(), 0);
    EXPECT_EQ(root->x, 0);
}

TEST_F(MenuHints, TheHintFollowsThePointerAndALaterHintStays) {
    Root(
        "MenuWrapper { MenuEditControl { name = \"HINT\"; };"
        "  MenuButton { name = \"A\"; hint = \"first\"; tx = 0; ty = 0; };"
        "  MenuButton { name = \"B\"; hint = \"second\"; tx = 40; ty = 0; };"
        "  MenuSwitch { tx = 200; statecount = 1; MenuWrapper { };"
        "    MenuSwitchButton { hint = \"sw\"; tx = 300; }; }; };");
    auto hintAt = [&](int x) {
        FrameAt(x, 10);
        return std::string(Get("HINT")->StringValue()->view());
    };
    EXPECT_EQ(hintAt(10), "first");
    // B (later in the list) is stepped first: its hint is set before A lets go.
    EXPECT_EQ(hintAt(45), "second");
    EXPECT_EQ(hintAt(300), "sw") << "a switch button's hint goes to the switch's parent";
    EXPECT_EQ(hintAt(700), "");
    EXPECT_EQ(Menus().hintControl, nullptr);
}

int ControlCount(const MenuWrapper* w) {
    int n = 0;
    for (int i = 0; i < w->ChildCount(); ++i)
        n += 1 + ControlCount(w->Child(i));
    return n;
}

TEST_F(MenuReading, HostileScriptsAreCutAndBounded) {
    EXPECT_EQ(ControlCount(Root("MenuWrapper { " + Repeat("MenuWrapper {", 20000) + " };")),
              kMenuMaxDepth);
    // 17 groups of 1100 pictures: 1024 a group, 16384 in all.
    MenuWrapper* root =
        Root("MenuWrapper { " +
             Repeat("MenuWrapper {" + Repeat("MenuPicture { };", 1100) + "};", 17) + " };");
    EXPECT_EQ(root->Child(0)->ChildCount(), kMenuMaxChildren);
    EXPECT_EQ(ControlCount(root), kMenuMaxControls);
    // A real key given an int, a real beyond any float, two billion frames;
    // positions far beyond any screen are held and the outline stays cheap.
    root = Root("MenuWrapper { x = 2147483647; MenuRoundSlider { maxangle = 3; cx = 1" +
                std::string(40, '0') +
                ".0; }; MenuAnimation { filecount = 2000000000; frametime = 0.1; temp = 1; };"
                " MenuButton { x = 2147483647; tx = -2147483647; tw = 2147483647; }; };");
    auto* round = dynamic_cast<MenuRoundSlider*>(root->Child(0));
    EXPECT_FLOAT_EQ(round->maxangle, MenuRoundSlider::kFullTurn);
    EXPECT_EQ(round->cx, 0.0f);
    EXPECT_EQ(dynamic_cast<MenuAnimation*>(root->Child(1))->animation->Count(), kMenuMaxFrames);
    EXPECT_EQ(root->x, kMenuMaxCoord);
    EXPECT_EQ(dynamic_cast<MenuButton*>(root->Child(2))->tx, -kMenuMaxCoord);
    root->Child(2)->EditDraw(display.BackPicture(), 0, 0);
    // Texts are cut to their buffers; an int key given a real is ignored.
    root = Root("MenuWrapper { name = \"" + std::string(40, 'n') + "\"; hint = \"" +
                std::string(300, 'h') + "\"; y = 1.5; };");
    EXPECT_EQ(root->name.size(), 31u);
    EXPECT_EQ(root->hint.size(), 255u);
    EXPECT_EQ(root->y, 0);
}

TEST_F(MenuReading, ArrowKeysMoveAButtonWithItsRectangleAndWithShiftResizeIt) {
    auto* b = dynamic_cast<MenuButton*>(
        Root("MenuWrapper { MenuButton { x = 10; tx = 10; }; };")->Child(0));
    Keys({205, 208});  // right, down
    b->EditMove();
    Keys({203, 200, 42});  // left, up, shift
    b->EditMove();
    EXPECT_EQ((std::vector<int>{b->x, b->y, b->tx, b->ty, b->tw, b->th}),
              (std::vector<int>{11, 1, 11, 1, 49, 49}));
}

}  // namespace
