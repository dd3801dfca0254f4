#include "tests/menu/menu_fixture.h"

namespace {

using MenuButtonClick = MenuTest;
using MenuSwitchStep = MenuTest;

TEST_F(MenuButtonClick, ASubmenuOpensInTheOrderOfTheRules) {
    const std::string states = Repeat("MenuWrapper { };", 3);
    MenuWrapper* root = Root(
        "MenuWrapper { cascade = 1; MenuWrapper { MenuWrapper { }; };"
        "  MenuButton { name = \"OPT\"; tx = 100; ty = 100; MenuPicture { }; MenuWrapper { name = "
        "\"SUB\"; MenuSwitch { name = \"SW\"; " +
        states +
        " }; };"
        "    MenuSwitch { name = \"OWN\"; " +
        states + " }; }; };");
    auto* button = Get<MenuButton>("OPT");
    MenuWrapper* old = root->Child(0);
    old->active = old->Child(0)->active = true;
    root->focused = 0;
    FrameAt(120, 120, true);
    FrameAt(300, 300, true);
    FrameAt(300, 300);
    FrameAt(120, 120);
    EXPECT_EQ(Menus().lastClicked, nullptr) << "pressed inside and let go outside: no click";
    Click(120, 120);
    EXPECT_EQ(Menus().TakeLastClicked(), button);
    EXPECT_FALSE(old->active) << "(a) the parent's open child closes";
    EXPECT_TRUE(old->Child(0)->active) << "(a) by its flag only";
    EXPECT_TRUE(button->active);                  // (b)
    EXPECT_EQ(Get<MenuSwitch>("OWN")->state, 2);  // (b) shows its last state
    EXPECT_EQ(root->focused, 1);                  // (c)
    EXPECT_FALSE(button->hovered);                // (d)
    EXPECT_TRUE(Get("SUB")->active);              // (e)
    EXPECT_EQ(Get<MenuSwitch>("SW")->state, 2);   // (e)
    EXPECT_FALSE(Get<MenuSwitch>("SW")->latch);   // (e)
    EXPECT_EQ(button->focused, 1);                // (f)
    EXPECT_EQ(root->cascade, 0) << "(g) the button's own";
    EXPECT_FALSE(button->pressed || button->inside);  // (h)

    // A level below went back: the open button opens its submenu again.
    Get("SUB")->Deactivate();
    EXPECT_EQ(button->focused, -1);
    Frame();
    EXPECT_EQ(button->focused, 1);
    // Closing the button gives the parent its cascade back.
    button->Deactivate();
    EXPECT_EQ(root->cascade, 1);
    EXPECT_EQ(root->focused, -1);
}

TEST_F(MenuButtonClick, PressedItShowsAChildByItsCountAndLetGoOpensOnlyASubmenu) {
    const std::string c0 = Pic(Bmp("c0", 0xFF0000)), c1 = Pic(Bmp("c1", 0x00FF00)),
                      c2 = Pic(Bmp("c2", 0x0000FF)), sub = "MenuWrapper { };";
    // The children; the colours at (100, 100) and (101, 101) while pressed.
    const std::tuple<std::string, std::uint32_t, std::uint32_t> cases[] = {
        {c0, 0, 0xFF0000},                    // child 0 shifted by (1, 1)
        {c0 + c1, 0x00FF00, 0x00FF00},        // the pressed picture
        {c0 + sub, 0, 0xFF0000},              // a submenu: child 0 shifted
        {c0 + sub + c2, 0x0000FF, 0x0000FF},  // child 2
    };
    for (const auto& [children, at00, at11] : cases) {
        Root("MenuWrapper { MenuButton { name = \"B\"; tx = 100; ty = 100; x = 100; y = 100; " +
             children + " }; };");
        FrameAt(300, 300);
        Redraw();
        EXPECT_EQ(Pixel(100, 100), 0u) << "outside: nothing";
        FrameAt(120, 120);
        Redraw();
        EXPECT_EQ(Pixel(100, 100), 0xFF0000u) << "inside: child 0 at its place";
        FrameAt(120, 120, true);
        Redraw();
        for (const auto& [x, y] : {std::pair{100, 100}, {101, 100}, {100, 101}})
            EXPECT_EQ(Pixel(x, y), at00) << children << " at " << x << "," << y;
        EXPECT_EQ(Pixel(101, 101), at11) << children;
        FrameAt(120, 120);
        EXPECT_EQ(Get("B")->active, children.find(sub) != std::string::npos);
        EXPECT_EQ(Menus().TakeLastClicked(), Get("B"));
    }
}

TEST_F(MenuButtonClick, ATopLevelBackButtonIgnoresThePointerWhileTheFlagIsClear) {
    Root("MenuWrapper { MenuButton { name = \"DEACTIVATEMENU\"; }; };");
    Menus().deactivateMenuEnabled = false;
    Click(10, 10);
    EXPECT_EQ(Menus().TakeLastClicked(), nullptr);
    Menus().deactivateMenuEnabled = true;
    Click(10, 10);
    EXPECT_EQ(Menus().TakeLastClicked(), Get("DEACTIVATEMENU"));
}

TEST_F(MenuSwitchStep, StatesWrapAndTheLatchStepsOncePerPress) {
    auto* sw = dynamic_cast<MenuSwitch*>(Root("MenuWrapper { MenuSwitch { tx = 0; ty = 0; " +
                                              Repeat("MenuWrapper { };", 3) + " }; };")
                                             ->Child(0));
    sw->Reset();
    EXPECT_EQ(sw->state, 2) << "a new switch shows its last state";
    // Pressed: 2 -> 0; held: latched; let go; pressed: 0 -> 1; held outside:
    // the latch clears; back in, still held: 1 -> 2; right button: 2 -> 1;
    // right button outside: nothing.
    const std::tuple<int, bool, bool, int> steps[] = {
        {10, 1, 0, 0}, {10, 1, 0, 0}, {10, 0, 0, 0}, {10, 1, 0, 1}, {90, 1, 0, 1},
        {10, 1, 0, 2}, {10, 0, 0, 2}, {10, 0, 1, 1}, {90, 0, 0, 1}, {90, 0, 1, 1}};
    for (const auto& [x, left, right, state] : steps) {
        input.SetRightButton(right);
        FrameAt(x, 10, left);
        EXPECT_EQ(sw->state, state);
    }
    EXPECT_EQ(sw->focused, 1);
    EXPECT_FALSE(sw->Child(2)->active);
    // Without states a step shows none.
    Root("MenuWrapper { MenuSwitch { }; };")->Child(0)->Step(1);
    EXPECT_EQ(dynamic_cast<MenuSwitch*>(Menus().root->Child(0))->state, -1);
}

TEST_F(MenuSwitchStep, SwitchButtonsJumpAndStep) {
    // affected, add, the state before and after the click.
    const int cases[][4] = {
        {4, 1, 0, 4}, {-1, -1, 2, 1}, {-1, 1, 5, 0}, {2, 0, 5, 2}, {0, -1, 3, 0}};
    for (const auto& [affected, add, from, to] : cases) {
        Root("MenuWrapper { MenuSwitch { statecount = 6;" + Repeat("MenuWrapper { };", 6) +
             "MenuSwitchButton { tx = 300; ty = 0; affected = " + std::to_string(affected) +
             "; add = " + std::to_string(add) + "; }; }; };");
        auto* sw = dynamic_cast<MenuSwitch*>(Menus().root->Child(0));
        sw->state = from;
        FrameAt(10, 10, true);
        EXPECT_EQ(sw->state, from) << "with extra controls the switch ignores the pointer";
        Click(310, 10);
        EXPECT_EQ(sw->state, to) << affected << " " << add;
        EXPECT_FALSE(sw->latch);
    }
}

}  // namespace
