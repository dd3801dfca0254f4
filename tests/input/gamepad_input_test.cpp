// Pads press the game's controls whatever keys those are bound to.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "input/control_binding.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"

namespace {

// Six keyboard bindings: the five game controls and one more.
const std::pair<const char*, const char*> kBindings[] = {{"LEFTHANDLE", "LSHIFT"},
                                                         {"RIGHTHANDLE", "RSHIFT"},
                                                         {"SPRING", "SPACE"},
                                                         {"EXIT", "ESCAPE"},
                                                         {"TILT", "T"},
                                                         {"EXTRA", "A"}};

class FailingPad : public platform::GamepadDevice {
public:
    bool Read(platform::PadState* state) override {
        state->plunge = true;  // what a failed read leaves must not count
        return false;
    }
};

class PadInput : public ::testing::Test {
protected:
    void SetUp() override {
        std::string text;
        for (const auto& [name, key] : kBindings)
            text += std::string(" control { name = \"") + name +
                    "\"; device = \"SYSTEM_KEYBOARD\"; devicecode = \"" + key + "\"; };;\r\n";
        ZarnikScr scr(text.data(), int(text.size()));
        input.ReadBindings(WholeScript(scr));
        input.FindGameControls();
        input.SetKeyboard(&keys);
        input.SetGamepad(&pad);
    }
    // Which of the six bindings are down, as a string of 0 and 1.
    std::string Down() {
        input.Poll();
        std::string s;
        for (int i = 0; i < 6; ++i)
            s += input.Pressed(i) ? '1' : '0';
        return s;
    }
    InputManager input;
    platform::ManualKeyboard keys;
    platform::ManualGamepad pad;
};

TEST_F(PadInput, EachPadActionPressesItsControlOnly) {
    ASSERT_EQ(input.controls.tilt, 4);
    EXPECT_EQ(Down(), "000000");
    using P = platform::PadState;
    const std::pair<bool P::*, const char*> cases[] = {{&P::leftFlip, "100000"},
                                                       {&P::rightFlip, "010000"},
                                                       {&P::plunge, "001000"},
                                                       {&P::start, "000100"},
                                                       {&P::nudge, "000010"}};
    for (const auto& [action, down] : cases) {
        pad.pad = P();
        pad.pad.*action = true;
        EXPECT_EQ(Down(), down);
    }
    // The key state the menus type from is the keyboard's alone.
    EXPECT_FALSE(input.KeyStates().Down(20));
}

TEST_F(PadInput, KeysAndPadsAddUpAndLettingGoOfOneKeepsTheOtherAndNoPadPressesNothing) {
    keys.Set(42, true);  // LSHIFT
    pad.pad.leftFlip = true;
    pad.pad.plunge = true;
    EXPECT_EQ(Down(), "101000");
    pad.pad = platform::PadState();
    EXPECT_EQ(Down(), "100000");
    keys.Set(42, false);
    EXPECT_EQ(Down(), "000000");
    // A failed read or no pad presses nothing.
    FailingPad failing;
    input.SetGamepad(&failing);
    EXPECT_EQ(Down(), "000000");
    input.SetGamepad(nullptr);
    EXPECT_EQ(Down(), "000000");
}

}  // namespace
