#include <string>
#include <vector>

#include "menu/menu_buttons.h"
#include "menu/menu_pictures.h"
#include "tests/menu/menu_fixture.h"

namespace {

using MenuButtonClick = MenuTest;
using MenuButtonDraw = MenuTest;
using MenuSwitchStep = MenuTest;

TEST_F(MenuButtonClick, ASubmenuOpensInTheOrderOfTheRules) {
    MenuWrapper* root = Root(
        "MenuWrapper { cascade = 1;"
        "  MenuWrapper { name = \"OLD\"; MenuWrapper { }; };"
        "  MenuButton { name = \"OPT\"; tx = 100; ty = 100;"
        "    MenuPicture { };"
        "    MenuWrapper { name = \"SUB\";"
        "      MenuSwitch { name = \"SW\"; MenuWrapper { }; MenuWrapper { }; MenuWrapper { }; }; };"
        "    MenuSwitch { name = \"OWN\"; MenuWrapper { }; MenuWrapper { }; }; };"
        "};");
    auto* button = Get<MenuButton>("OPT");
    MenuWrapper* old = root->Child(0);
    old->active = old->Child(0)->active = true;
    root->focused = 0;
    // Pressed inside, released outside: no click.
    Pointer(120, 120, true);
    Frame();
    Pointer(300, 300, true);
    Frame();
    Pointer(300, 300, false);
    Frame();
    EXPECT_EQ(Menus().lastClicked, nullptr);
    Click(120, 120);
    EXPECT_EQ(Menus().TakeLastClicked(), button);
    EXPECT_FALSE(old->active) << "(a) the parent's open child closes";
    EXPECT_TRUE(old->Child(0)->active) << "(a) by its flag only";
    EXPECT_TRUE(button->active);                  // (b)
    EXPECT_EQ(Get<MenuSwitch>("OWN")->state, 1);  // (b) shows its last state
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
    EXPECT_TRUE(Get("SUB")->active);
    EXPECT_EQ(button->focused, 1);

    // Closing the button gives the parent its cascade back.
    button->Deactivate();
    EXPECT_EQ(root->cascade, 1);
    EXPECT_EQ(root->focused, -1);
    EXPECT_FALSE(Get("SUB")->active);
}

TEST_F(MenuButtonClick, PressedPictureIsNoSubmenuAndTopLevelBackButtonObeysTheFlag) {
    const std::string pic = Bmp("p", 0x00FF00);
    MenuWrapper* root =
        Root("MenuWrapper { MenuButton { name = \"P\"; MenuPicture { filename = \"" + pic +
             "\"; }; MenuPicture { filename = \"" + pic +
             "\"; }; };"
             "  MenuButton { name = \"DEACTIVATEMENU\"; tx = 200; }; };");
    Click(10, 10);
    EXPECT_EQ(Menus().TakeLastClicked(), Get("P"));
    EXPECT_FALSE(Get("P")->active);
    EXPECT_EQ(root->focused, -1);
    Menus().deactivateMenuEnabled = false;
    Click(210, 10);
    EXPECT_EQ(Menus().TakeLastClicked(), nullptr);
    Menus().deactivateMenuEnabled = true;
    Click(210, 10);
    EXPECT_EQ(Menus().TakeLastClicked(), Get("DEACTIVATEMENU"));
}

TEST_F(MenuButtonDraw, InsideAndPressedPickTheChildByCount) {
    const std::string c0 = Bmp("c0", 0xFF0000), c1 = Bmp("c1", 0x00FF00), c2 = Bmp("c2", 0x0000FF);
    auto pic = [](const std::string& f) { return "MenuPicture { filename = \"" + f + "\"; };"; };
    struct Case {
        std::string children;
        std::uint32_t pressedAt00, pressedAt11;
    } cases[] = {
        {pic(c0), 0, 0xFF0000},                                        // shifted by (1, 1)
        {pic(c0) + pic(c1), 0x00FF00, 0x00FF00},                       // the pressed picture
        {pic(c0) + "MenuWrapper { };", 0, 0xFF0000},                   // a submenu: shifted child 0
        {pic(c0) + "MenuWrapper { };" + pic(c2), 0x0000FF, 0x0000FF},  // child 2
    };
    for (const Case& c : cases) {
        Root("MenuWrapper { MenuButton { tx = 100; ty = 100; x = 100; y = 100; " + c.children +
             " }; };");
        Pointer(300, 300);
        Frame();
        Redraw();
        EXPECT_EQ(Pixel(101, 101), 0u) << "outside: the background shows the idle button";
        Pointer(120, 120);
        Frame();
        Redraw();
        EXPECT_EQ(Pixel(100, 100), 0xFF0000u) << "inside: the highlight";
        Pointer(120, 120, true);
        Frame();
        Redraw();
        EXPECT_EQ(Pixel(100, 100), c.pressedAt00) << c.children;
        EXPECT_EQ(Pixel(101, 101), c.pressedAt11) << c.children;
    }
}

TEST_F(MenuSwitchStep, StatesWrapAndTheLatchStepsOncePerPress) {
    Root(
        "MenuWrapper { MenuSwitch { name = \"S\"; tx = 0; ty = 0;"
        "  MenuWrapper { }; MenuWrapper { }; MenuWrapper { }; }; };");
    auto* sw = Get<MenuSwitch>("S");
    EXPECT_EQ(sw->statecount, 3);
    sw->Reset();
    EXPECT_EQ(sw->state, 2) << "a new switch shows its last state";
    EXPECT_EQ(Menus().TakeLastClicked(), nullptr) << "step 0 is no click";
    std::vector<int> states;
    auto frame = [&](int x, bool left, bool right = false) {
        input.SetRightButton(right);
        Pointer(x, 10, left);
        Frame();
        states.push_back(sw->state);
    };
    frame(10, true);   // 2 -> 0
    frame(10, true);   // held: latched
    frame(10, false);  // released
    frame(10, true);   // 0 -> 1
    frame(90, true);   // held outside: the latch clears
    frame(10, true);   // back in, still held: 1 -> 2
    frame(10, false);
    frame(10, false, true);  // right button: 2 -> 1
    frame(90, false);
    frame(90, false, true);  // right button outside: nothing
    EXPECT_EQ(states, (std::vector<int>{0, 0, 0, 1, 1, 2, 2, 1, 1, 1}));
    EXPECT_EQ(Menus().TakeLastClicked(), sw);
    EXPECT_EQ(sw->focused, 1);
    EXPECT_TRUE(sw->Child(1)->active);
    EXPECT_FALSE(sw->Child(2)->active);
    sw->state = 0;
    sw->latch = false;
    sw->Step(2);
    EXPECT_EQ(sw->state, 2);

    Root("MenuWrapper { MenuSwitch { name = \"E\"; }; };");
    Get<MenuSwitch>("E")->Step(1);
    EXPECT_EQ(Get<MenuSwitch>("E")->state, -1) << "no states";
    EXPECT_TRUE(Get<MenuSwitch>("E")->latch);
}

TEST_F(MenuSwitchStep, SwitchButtonsJumpAndStep) {
    struct Case {
        int affected, add, from, to;
    } cases[] = {
        {4, 1, 0, 4}, {-1, -1, 2, 1}, {-1, 1, 5, 0}, {2, 0, 5, 2}, {0, -1, 3, 0},
    };
    for (const Case& c : cases) {
        Root(
            "MenuWrapper { MenuSwitch { name = \"S\"; statecount = 6;"
            "  MenuWrapper { }; MenuWrapper { }; MenuWrapper { }; MenuWrapper { }; MenuWrapper { };"
            "  MenuWrapper { }; MenuSwitchButton { tx = 300; ty = 0; affected = " +
            std::to_string(c.affected) + "; add = " + std::to_string(c.add) + "; }; }; };");
        auto* sw = Get<MenuSwitch>("S");
        sw->state = c.from;
        Pointer(10, 10, true);
        Frame();
        EXPECT_EQ(sw->state, c.from) << "with extra controls the switch ignores the pointer";
        Click(310, 10);
        EXPECT_EQ(sw->state, c.to) << c.affected << " " << c.add;
        EXPECT_FALSE(sw->latch);
    }
}

}  // namespace
