#include "tests/menu/menu_fixture.h"

namespace {

using MenuSliders = MenuTest;
using MenuTyping = MenuTest;

constexpr int kA = 30, kQ = 16, k1 = 2, kShift = 42, kBack = 14, kSpace = 57;

TEST_F(MenuSliders, ValueFollowsPointerXAcrossTheRectangle) {
    const std::string frames = Frames("s", 5, 0x101010);
    Root("MenuWrapper { MenuSlider { name = \"AUDIOVOLUME\"; tx = 100; ty = 0; tw = 200; " +
         frames + " }; MenuSlider { name = \"ZERO\"; tx = 100; tw = 0; " + frames + " }; };");
    auto* slider = Get<MenuSlider>("AUDIOVOLUME");
    // Pointer x and left button; the value and the frame it shows.
    const std::tuple<int, bool, float, int> steps[] = {
        {150, true, 0.25f, 1}, {300, true, 1.0f, 4}, {301, true, 1.0f, 4},
        {100, false, 1.0f, 4}, {100, true, 0.0f, 0}, {299, true, 0.995f, 3}};
    for (const auto& [x, left, value, frame] : steps) {
        FrameAt(x, 10, left);
        EXPECT_FLOAT_EQ(slider->value, value) << "x " << x;
        EXPECT_EQ(slider->FrameForValue(), frame) << "x " << x;
    }
    Redraw();
    EXPECT_EQ(Pixel(0, 0), 0x404040u) << "frame 3 is drawn";
    EXPECT_EQ(Menus().TakeLastClicked(), slider);
    EXPECT_EQ(Get<MenuSlider>("ZERO")->value, 0.0f) << "a slider 0 wide never changes";
}

TEST_F(MenuSliders, RoundSliderAngleSnapsPastMaxangle) {
    Root("MenuWrapper { MenuRoundSlider { tx = 0; ty = 0; tw = 800; th = 600; " +
         Frames("r", 1, 0x808080) +
         " cx = 400.0; cz = 300.0; px = 500.0; pz = 300.0;"
         " maxangle = 3.14159; picx = 10; picy = 500; picname = \"" +
         Bmp("reveal", 0xFF0000, 100, 4) + "\"; }; };");
    auto* round = dynamic_cast<MenuRoundSlider*>(Menus().root->Child(0));
    // The pointer and its left button; the value before and after the frame.
    const std::tuple<int, int, bool, float, float> steps[] = {
        {400, 400, true, 0.0f, 0.5f},     // a quarter turn clockwise
        {500, 300, true, 0.5f, 0.0f},     // the direction of value 0
        {400, 200, true, 0.25f, 0.0f},    // past maxangle from below half: 0
        {400, 200, true, 0.75f, 1.0f},    // from above half: 1
        {400, 200, false, 0.75f, 0.75f},  // not dragging
    };
    for (const auto& [x, y, left, before, after] : steps) {
        round->value = before;
        FrameAt(x, y, left);
        EXPECT_NEAR(round->value, after, 1e-5) << x << "," << y;
    }
    // Dragging goes on outside the rectangle while the button is held.
    round->tw = round->th = 10;
    FrameAt(5, 5, true);
    FrameAt(400, 400, true);
    EXPECT_NEAR(round->value, 0.5f, 1e-5);
    Redraw();
    EXPECT_EQ(round->shownWidth, 50);
    ExpectShown({{10 + 49, 500, 0xFF0000}, {10 + 50, 500, 0}});
}

TEST_F(MenuTyping, KeysTypeOncePerPressWithShiftBackspaceAndDigitsFirst) {
    Root(
        "MenuWrapper { MenuEditControl { name = \"PLAYER_NAME\"; editable = 1; tx = 0; ty = 0;"
        " Caption = \"x\"; }; MenuEditControl { name = \"FIXED\"; tx = 0; ty = 0; }; };");
    auto* edit = Get<MenuEditControl>("PLAYER_NAME");
    Click(10, 10);
    EXPECT_FALSE(Get("FIXED")->active) << "a field that isn't editable never opens";
    const std::vector<std::pair<std::vector<int>, std::string>> presses = {
        {{kA}, "xa"},        {{kA}, "xa"},         {{}, "xa"},
        {{kA}, "xaa"},       {{}, "xaa"},          {{kShift, kA}, "xaaA"},
        {{k1, kQ}, "xaaA1"}, {{kSpace}, "xaaA1 "}, {{kA, kBack}, "xaaA1"},
        {{kBack}, "xaaA1"},
    };
    for (const auto& [keys, text] : presses) {
        Keys(keys);
        EXPECT_EQ(edit->text, text);
    }
    // Backspace takes the character before the caret, and the caret with it.
    edit->caretIndex = 2;
    Keys({});
    Keys({kBack});
    Keys({kQ});
    EXPECT_EQ(edit->text, "xqaA1");
    edit->caretIndex = 0;
    Keys({kBack});
    EXPECT_EQ(edit->text, "xqaA1");
    Click(300, 300);
    Keys({kA});
    EXPECT_EQ(edit->text, "xqaA1") << "a click outside closes the field";
    // The field holds 255 characters; what is typed beyond is ignored.
    Click(10, 10);
    edit->text = std::string(254, 'z');
    edit->caretIndex = 0;
    Keys({kQ});
    Keys({});
    Keys({kQ});
    EXPECT_EQ(edit->text, "q" + std::string(254, 'z'));
}

TEST_F(MenuTyping, TextAndCaretAreDrawnAtTheirOffsets) {
    Bmp("caret0000", 0x00FF00, 2, 12);
    Root(
        "MenuWrapper { x = 100; y = 50; MenuEditControl { name = \"E\"; x = 10; cx = 5; cy = 3;"
        " editable = 1; tx = 0; ty = 0; Caption = \"ab\"; font = \"" +
        FontFile() + "\"; CFStart = \"" + dir.Path() +
        "\\caret\"; CFEnd = \".bmp\"; CFCount = 1; }; };");
    Redraw();
    // Text at x + cx, y + cy; no caret while the field is closed.
    ExpectShown({{115, 53, 0xFFFFFF}, {114, 53, 0}, {131, 51, 0}});
    Click(10, 10);
    Redraw();
    // After the two 8-pixel glyphs, centred on the 8-pixel line: 12 high, 2 up.
    ExpectShown({{131, 51, 0x00FF00}, {131, 50, 0}});
    // Inside the text the caret stands after the character at it.
    Get<MenuEditControl>("E")->caretIndex = 0;
    Redraw();
    EXPECT_EQ(Pixel(123, 51), 0x00FF00u);
    MenuWrapper* copy = Get("E")->Duplicate(0, 20);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Menus().root->ChildCount(), 2);
    Redraw();
    EXPECT_EQ(Pixel(115, 73), 0xFFFFFFu) << "the copy draws its text 20 lower";
}

}  // namespace
