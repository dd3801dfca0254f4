#include <cmath>
#include <string>
#include <vector>

#include "menu/menu_sliders.h"
#include "menu/menu_text_fields.h"
#include "tests/menu/menu_fixture.h"

namespace {

using MenuSliders = MenuTest;
using MenuTyping = MenuTest;

constexpr int kA = 30, kQ = 16, k1 = 2, kShift = 42, kBack = 14, kSpace = 57;

TEST_F(MenuSliders, ValueFollowsPointerXAcrossTheRectangle) {
    for (int i = 0; i < 5; ++i)
        Bmp("s000" + std::to_string(i), 0x101010u * std::uint32_t(i + 1));
    Root(
        "MenuWrapper { MenuSlider { name = \"AUDIOVOLUME\"; tx = 100; ty = 0; tw = 200;"
        " filestart = \"" +
        dir.Path() +
        "\\s\"; fileend = \".bmp\"; filecount = 5; };"
        " MenuSlider { name = \"ZERO\"; tw = 0; filestart = \"" +
        dir.Path() + "\\s\"; fileend = \".bmp\"; filecount = 5; }; };");
    auto* slider = Get<MenuSlider>("AUDIOVOLUME");
    struct Step {
        int x;
        bool left;
        float value;
        int frame;
    } steps[] = {
        {150, true, 0.25f, 1}, {300, true, 1.0f, 4}, {301, true, 1.0f, 4},
        {100, false, 1.0f, 4}, {100, true, 0.0f, 0}, {299, true, 0.995f, 3},
    };
    for (const Step& s : steps) {
        Pointer(s.x, 10, s.left);
        Frame();
        EXPECT_FLOAT_EQ(slider->value, s.value) << "x " << s.x;
        EXPECT_EQ(slider->FrameForValue(), s.frame) << "x " << s.x;
    }
    Redraw();
    EXPECT_EQ(Pixel(0, 0), 0x404040u) << "frame 3 is drawn";
    EXPECT_EQ(Menus().TakeLastClicked(), slider);
    EXPECT_EQ(Get<MenuSlider>("ZERO")->value, 0.0f) << "a slider 0 wide never changes";
}

TEST_F(MenuSliders, RoundSliderAngleSnapsPastMaxangle) {
    Bmp("r0000", 0x808080);
    const std::string pic = Bmp("reveal", 0xFF0000, 100, 4);
    Root(
        "MenuWrapper { MenuRoundSlider { name = \"CDVOLUME\"; tx = 0; ty = 0; tw = 800; th = 600;"
        " filestart = \"" +
        dir.Path() +
        "\\r\"; fileend = \".bmp\"; filecount = 1;"
        " cx = 400.0; cz = 300.0; px = 500.0; pz = 300.0; maxangle = 3.14159;"
        " picx = 10; picy = 500; picname = \"" +
        pic + "\"; }; };");
    auto* round = Get<MenuRoundSlider>("CDVOLUME");
    EXPECT_FLOAT_EQ(round->px, 1.0f);
    EXPECT_FLOAT_EQ(round->pz, 0.0f);
    struct Step {
        int x, y;
        bool left;
        float before, after;
    } steps[] = {
        {400, 400, true, 0.0f, 0.5f},     // a quarter turn clockwise
        {500, 300, true, 0.5f, 0.0f},     // the direction of value 0
        {400, 200, true, 0.25f, 0.0f},    // past maxangle from below half: 0
        {400, 200, true, 0.75f, 1.0f},    // from above half: 1
        {400, 200, false, 0.75f, 0.75f},  // not dragging
    };
    for (const Step& s : steps) {
        round->value = s.before;
        Pointer(s.x, s.y, s.left);
        Frame();
        EXPECT_NEAR(round->value, s.after, 1e-5) << s.x << "," << s.y;
    }
    // Dragging goes on outside the rectangle while the button is held.
    round->tw = round->th = 10;
    Pointer(5, 5, true);
    Frame();
    Pointer(400, 400, true);
    Frame();
    EXPECT_NEAR(round->value, 0.5f, 1e-5);
    Redraw();
    EXPECT_EQ(round->shownWidth, 50);
    EXPECT_EQ(Pixel(10 + 49, 500), 0xFF0000u);
    EXPECT_EQ(Pixel(10 + 50, 500), 0u);
}

TEST_F(MenuTyping, KeysTypeOncePerPressWithShiftBackspaceAndDigitsFirst) {
    Root(
        "MenuWrapper { MenuEditControl { name = \"PLAYER_NAME\"; editable = 1; tx = 0; ty = 0;"
        " Caption = \"x\"; }; MenuEditControl { name = \"FIXED\"; tx = 0; ty = 0; }; };");
    auto* edit = Get<MenuEditControl>("PLAYER_NAME");
    Keys({kA});
    EXPECT_EQ(edit->text, "x") << "not focused yet";
    Keys({});
    Click(10, 10);
    EXPECT_TRUE(edit->active);
    EXPECT_FALSE(Get("FIXED")->active) << "a field that isn't editable never opens";
    const std::vector<std::pair<std::vector<int>, std::string>> presses = {
        {{kA}, "xa"},        {{kA}, "xa"},         {{}, "xa"},
        {{kA}, "xaa"},       {{}, "xaa"},          {{kShift, kA}, "xaaA"},
        {{k1, kQ}, "xaaA1"}, {{kSpace}, "xaaA1 "}, {{kA, kBack}, "xaaA1"},
        {{kBack}, "xaaA1"},
    };
    for (const auto& [keys, text] : presses) {
        keyboard.keys = platform::KeyState();
        for (int k : keys)
            keyboard.Set(k, true);
        input.Poll();
        Frame();
        EXPECT_EQ(edit->text, text);
    }
    for (int i = 0; i < 6; ++i) {
        Keys({});
        Keys({kBack});
    }
    EXPECT_EQ(edit->text, "");
    EXPECT_EQ(edit->caretIndex, 0) << "Backspace on an empty field does nothing";
    // A click outside closes the field; the next click inside opens it.
    Click(300, 300);
    Keys({kA});
    EXPECT_EQ(edit->text, "");
    Keys({});
    Click(10, 10);
    Keys({kA});
    EXPECT_EQ(edit->text, "a");
    edit->text = std::string(254, 'z');
    edit->caretIndex = 254;
    for (int i = 0; i < 3; ++i) {
        Keys({kQ});
        Keys({});
    }
    EXPECT_EQ(edit->text.size(), 255u) << "typing beyond the field is ignored";
}

TEST_F(MenuTyping, TextAndCaretAreDrawnAtTheirOffsets) {
    const std::string font = FontFile();
    Bmp("caret0000", 0x00FF00, 2, 12);
    Root(
        "MenuWrapper { x = 100; y = 50; MenuEditControl { name = \"E\"; x = 10; cx = 5; cy = 3;"
        " editable = 1; tx = 0; ty = 0; Caption = \"ab\"; font = \"" +
        font +
        "\";"
        " CFStart = \"" +
        dir.Path() + "\\caret\"; CFEnd = \".bmp\"; CFCount = 1; }; };");
    Redraw();
    EXPECT_EQ(Pixel(115, 53), 0xFFFFFFu) << "text at x + cx, y + cy";
    EXPECT_EQ(Pixel(114, 53), 0u);
    EXPECT_EQ(Pixel(131, 51), 0u) << "no caret while closed";
    Click(10, 10);
    Redraw();
    // After the two 8-pixel glyphs, centred on the 8-pixel line: 12 high, 2 up.
    EXPECT_EQ(Pixel(131, 51), 0x00FF00u);
    EXPECT_EQ(Pixel(131, 50), 0u);
    // Inside the text the caret stands after the character at it.
    Get<MenuEditControl>("E")->caretIndex = 0;
    Redraw();
    EXPECT_EQ(Pixel(123, 51), 0x00FF00u);
    MenuWrapper* copy = Get("E")->Duplicate(0, 20);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->parent, Menus().root.get());
    EXPECT_EQ(Menus().root->ChildCount(), 2);
    Redraw();
    EXPECT_EQ(Pixel(115, 73), 0xFFFFFFu) << "the copy draws its text too";
}

}  // namespace
