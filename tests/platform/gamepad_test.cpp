// Pads: the raw values to the game's controls, and SDL's virtual pad
// plugged in, played and pulled out while the game reads.
#include "platform/gamepad.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::MapPad;
using platform::PadRaw;
using platform::PadState;
using Button = platform::VirtualPad::Button;
using Axis = platform::VirtualPad::Axis;

PadState Mapped(const PadRaw& raw, bool* latch) {
    PadState s;
    MapPad(raw, latch, &s);
    return s;
}

// leftFlip, rightFlip, plunge, nudge, start as 0 and 1.
std::string Bits(const PadState& s) {
    return {char('0' + s.leftFlip), char('0' + s.rightFlip), char('0' + s.plunge),
            char('0' + s.nudge), char('0' + s.start)};
}

TEST(MapPad, ShouldersOrTriggersPastHalfwayFlipAPlungesStartIsTheMenuTwoPadsAddUp) {
    bool latch = false, other = false;
    PadRaw raw;
    raw.leftTrigger = 16383;
    raw.rightTrigger = 16384;
    EXPECT_EQ(Bits(Mapped(raw, &latch)), "01000");
    PadRaw second;
    second.leftShoulder = second.a = second.start = true;
    PadState s = Mapped(second, &other);
    EXPECT_EQ(Bits(s), "10101");
    MapPad(raw, &latch, &s);
    EXPECT_EQ(Bits(s), "11101");
}

TEST(MapPad, AStickPushNudgesUntilItComesBackToRest) {
    bool latch = false;
    PadRaw raw;
    // Past the push in any direction; easing back but not at rest is the
    // same nudge; a second needs a return to rest.
    const int steps[][3] = {{23999, 0, 0}, {23999, -24000, 1}, {0, 8000, 1},
                            {0, 7999, 0},  {0, 20000, 0},      {-32768, 20000, 1}};
    for (const auto& [x, y, nudge] : steps) {
        raw.stickX = x;
        raw.stickY = y;
        EXPECT_EQ(Mapped(raw, &latch).nudge, bool(nudge)) << x << " " << y;
    }
}

TEST(SdlGamepads, AVirtualPadWorksAtOnceAndLetsGoWhenPulledOut) {
    platform::SdlGamepads pads;
    PadState s;
    ASSERT_TRUE(pads.Read(&s));
    const int before = pads.Count();  // a real pad on the test machine counts too

    platform::VirtualPad pad;
    ASSERT_TRUE(pad.Plug());
    ASSERT_TRUE(pads.Read(&s));
    EXPECT_EQ(pads.Count(), before + 1);
    EXPECT_EQ(Bits(s), "00000");

    pad.SetButton(Button::A, true);
    pad.SetAxis(Axis::RightTrigger, 30000);
    pad.SetAxis(Axis::LeftX, 32767);
    ASSERT_TRUE(pads.Read(&s));
    EXPECT_EQ(Bits(s), "01110");

    pad.Unplug();
    ASSERT_TRUE(pads.Read(&s));
    EXPECT_EQ(pads.Count(), before);
    EXPECT_EQ(Bits(s), "00000");

    // Plugged in again: taken in again.
    ASSERT_TRUE(pad.Plug());
    pad.SetButton(Button::LeftShoulder, true);
    pad.SetButton(Button::Start, true);
    ASSERT_TRUE(pads.Read(&s));
    EXPECT_EQ(pads.Count(), before + 1);
    EXPECT_EQ(Bits(s), "10001");  // a new pad starts with every button up
}

}  // namespace
