// The menus driven by keys: the highlight's walk in screen order, a click by
// Enter, left and right on a slider, key capture, and a name
// entered letter by letter.
#include <initializer_list>
#include <string>

#include "menu/menu_navigation.h"
#include "tests/menu/menu_fixture.h"

namespace {

constexpr int kEnter = 28, kUp = 200, kLeft = 203, kRight = 205, kDown = 208;

class MenuKeysTest : public MenuTest {
protected:
    // A button and its neighbour on one line, a row label (a button that
    // only hints) over a slider of 24 frames, a switch stepped by its
    // button, a name field, a key field, and a button turned inside out.
    void Page() {
        Root(
            "MenuWrapper { MenuEditControl { name = \"HINT\"; };"
            " MenuButton { name = \"RIGHT\"; hint = \"right\"; tx = 300; ty = 100; tw = 40; th = "
            "20; };"
            " MenuButton { name = \"LEFT\"; hint = \"left\"; tx = 100; ty = 100; tw = 40; th = 20; "
            "};"
            " MenuButton { hint = \"volume row\"; tx = 90; ty = 160; tw = 400; th = 40; };"
            " MenuSlider { name = \"VOL\"; tx = 100; ty = 170; tw = 200; th = 20; " +
            Frames("vol", 24, 0x010101) +
            " };"
            " MenuSwitch { name = \"SW\"; tx = 100; ty = 250; tw = 40; th = 20; statecount = 2;"
            "  MenuWrapper { }; MenuWrapper { };"
            "  MenuSwitchButton { tx = 100; ty = 250; tw = 40; th = 20; add = 1; }; };"
            " MenuEditControl { name = \"NAME\"; editable = 1; Caption = \"ab\"; tx = 100; ty = "
            "300;"
            "  tw = 100; th = 20; };"
            " MenuGetControl { name = \"KEY\"; editable = 1; Caption = \"T\"; tx = 300; ty = 300;"
            "  tw = 100; th = 20; };"
            " MenuButton { name = \"INSIDEOUT\"; tx = 100; ty = 400; tw = -5; th = 20; };"
            " };");
        Step({});
    }
    // One frame as the program runs it: keys, the navigator, the tree.
    void Step(std::initializer_list<int> down) {
        keyboard.keys = platform::KeyState();
        for (int code : down)
            keyboard.Set(code, true);
        input.Poll();
        Menus().pointerX = mouseX;
        Menus().pointerY = mouseY;
        Menus().leftButton = false;
        Menus().navigator.Frame(Menus(), ReadMenuKeys(&input));
        Frame();
    }
    void Tap(int code, int times = 1) {
        for (int i = 0; i < times; ++i) {
            Step({code});
            Step({});
        }
    }
    MenuWrapper* Lit() { return Menus().navigator.Highlight(); }
    std::string Hint() { return Get<MenuEditControl>("HINT")->text.c_str(); }
    MenuEditControl* Name() { return Get<MenuEditControl>("NAME"); }

    int mouseX = 0, mouseY = 0;
};

TEST_F(MenuKeysTest, ArrowsWalkTheControlsTopToBottomLeftToRightAndWrap) {
    Page();
    Tap(kDown);  // the first key only shows the highlight
    EXPECT_EQ(Lit(), Get("LEFT"));
    EXPECT_EQ(Menus().pointerX, 120);
    EXPECT_EQ(Menus().pointerY, 110);
    EXPECT_TRUE(Get("LEFT")->hovered);
    EXPECT_EQ(Hint(), "left");
    // The row label and the inside-out button are no stops; the slider
    // under the label lights it as the pointer would.
    const MenuWrapper* order[] = {Get("RIGHT"), Get("VOL"), Get("SW")->Child(2),
                                  Name(),       Get("KEY"), Get("LEFT")};
    for (const MenuWrapper* expected : order) {
        Tap(kDown);
        EXPECT_EQ(Lit(), expected) << expected->name.c_str();
        if (expected == Get("VOL")) {
            EXPECT_EQ(Hint(), "volume row");
        }
    }
    EXPECT_FALSE(Get("RIGHT")->hovered);
    Tap(kUp);
    EXPECT_EQ(Lit(), Get("KEY"));
}

TEST_F(MenuKeysTest, EnterClicksOnReleaseAndTheMouseTakesOver) {
    Page();
    Tap(kDown, 2);
    ASSERT_EQ(Lit(), Get("RIGHT"));
    Step({kEnter});
    EXPECT_EQ(Menus().lastClicked, nullptr);
    EXPECT_TRUE(Get<MenuButton>("RIGHT")->pressed);
    Step({});
    EXPECT_EQ(Menus().TakeLastClicked(), Get("RIGHT"));

    Menus().navigator.PointerMoved();
    mouseX = 120;
    mouseY = 110;
    Step({});
    EXPECT_FALSE(Menus().navigator.Driving());
    EXPECT_EQ(Menus().pointerX, 120);
    EXPECT_EQ(Hint(), "left");
    EXPECT_FALSE(Get("RIGHT")->hovered);
    // The first key again starts where the pointer is.
    Tap(kRight);
    EXPECT_EQ(Lit(), Get("LEFT"));
}

TEST_F(MenuKeysTest, LeftAndRightStepASliderOneFrameEachElseMove) {
    Page();
    Tap(kDown, 3);
    auto* vol = Get<MenuSlider>("VOL");
    ASSERT_EQ(Lit(), vol);
    // Every step shows the next frame, though i / 23 rounds below a frame for some i.
    for (int frame = 1; frame <= 23; ++frame) {
        Tap(kRight);
        ASSERT_EQ(vol->FrameForValue(), frame) << vol->value;
    }
    EXPECT_EQ(vol->value, 1.0f);
    EXPECT_EQ(Menus().TakeLastClicked(), vol);
    Tap(kRight);
    EXPECT_EQ(vol->value, 1.0f);
    EXPECT_EQ(Lit(), vol) << "held at the end, not moved on";
    Tap(kLeft);
    EXPECT_EQ(vol->FrameForValue(), 22);

    Tap(kDown, 4);  // past the switch, the name and the key field
    ASSERT_EQ(Lit(), Get("LEFT"));
    Tap(kRight);
    EXPECT_EQ(Lit(), Get("RIGHT"));
}

TEST_F(MenuKeysTest, KeyFieldOpensWhenEnterIsUpAndTakesTheNextKey) {
    Page();
    Tap(kUp, 2);
    ASSERT_EQ(Lit(), Get("KEY"));
    Step({kEnter});
    EXPECT_FALSE(Get("KEY")->active) << "Enter would be captured";
    Step({});
    EXPECT_TRUE(Get("KEY")->active);
    Step({84, kDown});  // 84 has no key name and is passed over
    Step({});
    EXPECT_EQ(Get<MenuEditControl>("KEY")->text, "DOWN");
    EXPECT_FALSE(Get("KEY")->active);
    EXPECT_EQ(Lit(), Get("KEY")) << "the captured key does not move the highlight";
}

TEST_F(MenuKeysTest, NameEntryStepsLettersMovesAndDropsTrailingBlanks) {
    Page();
    Tap(kUp, 3);
    ASSERT_EQ(Lit(), Name());
    Tap(kEnter);
    ASSERT_TRUE(Menus().navigator.Entering());
    EXPECT_TRUE(Name()->active);
    Tap(kUp);  // a lower-case letter steps on from its capital
    EXPECT_EQ(Name()->text, "Bb");
    Tap(kRight);
    Tap(kDown);
    EXPECT_EQ(Name()->text, "BA");
    Tap(kRight, 3);  // past the end is one free place, no further
    EXPECT_EQ(Name()->caretIndex, 2);
    Tap(kDown);  // A-Z, 0-9, space, round again: down from the space is 9
    EXPECT_EQ(Name()->text, "BA9");
    Tap(kUp);
    EXPECT_EQ(Name()->text, "BA ");
    Tap(kEnter);
    EXPECT_FALSE(Menus().navigator.Entering());
    EXPECT_FALSE(Name()->active);
    EXPECT_EQ(Name()->text, "BA") << "the blank at the end goes";

    // A full field: the cursor stops on its last character.
    Menus().SetString("NAME", std::string(255, 'Z'));
    Tap(kEnter);
    Tap(kRight, 300);
    Tap(kUp);
    EXPECT_EQ(Name()->caretIndex, 254);
    EXPECT_EQ(Name()->text, std::string(254, 'Z') + "0");
}

}  // namespace
