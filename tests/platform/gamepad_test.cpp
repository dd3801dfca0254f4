// Pads: the raw values to the game's controls, and SDL's virtual pad
// plugged in, played and pulled out while the game reads.
#include "platform/gamepad.h"

#include <gtest/gtest.h>

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

TEST(MapPad, ShouldersOrTriggersPastHalfwayFlipAPlungesStartIsTheMenu) {
    bool latch = false;
    PadRaw raw;
    raw.leftTrigger = 16383;
    raw.rightTrigger = 16384;
    PadState s = Mapped(raw, &latch);
    EXPECT_FALSE(s.leftFlip);
    EXPECT_TRUE(s.rightFlip);
    raw = PadRaw();
    raw.leftShoulder = true;
    raw.a = true;
    raw.start = true;
    s = Mapped(raw, &latch);
    EXPECT_TRUE(s.leftFlip);
    EXPECT_FALSE(s.rightFlip);
    EXPECT_TRUE(s.plunge);
    EXPECT_TRUE(s.start);
    EXPECT_FALSE(s.nudge);
}

TEST(MapPad, AStickPushNudgesUntilItComesBackToRest) {
    bool latch = false;
    PadRaw raw;
    raw.stickX = 23999;
    EXPECT_FALSE(Mapped(raw, &latch).nudge);
    raw.stickY = -24000;  // any direction
    EXPECT_TRUE(Mapped(raw, &latch).nudge);
    raw.stickX = 0;
    raw.stickY = 8000;  // easing back but not at rest: still the same nudge
    EXPECT_TRUE(Mapped(raw, &latch).nudge);
    raw.stickY = 7999;
    EXPECT_FALSE(Mapped(raw, &latch).nudge);
    raw.stickY = 20000;  // not far enough for a second nudge
    EXPECT_FALSE(Mapped(raw, &latch).nudge);
    raw.stickX = -32768;
    EXPECT_TRUE(Mapped(raw, &latch).nudge);
}

TEST(MapPad, TwoPadsAddUp) {
    bool latchA = false, latchB = false;
    PadRaw left, right;
    left.leftShoulder = true;
    right.rightShoulder = true;
    PadState s;
    MapPad(left, &latchA, &s);
    MapPad(right, &latchB, &s);
    EXPECT_TRUE(s.leftFlip);
    EXPECT_TRUE(s.rightFlip);
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
    EXPECT_FALSE(s.plunge || s.leftFlip || s.rightFlip || s.nudge || s.start);

    pad.SetButton(Button::A, true);
    pad.SetAxis(Axis::RightTrigger, 30000);
    pad.SetAxis(Axis::LeftX, 32767);
    ASSERT_TRUE(pads.Read(&s));
    EXPECT_TRUE(s.plunge);
    EXPECT_TRUE(s.rightFlip);
    EXPECT_FALSE(s.leftFlip);
    EXPECT_TRUE(s.nudge);

    pad.Unplug();
    ASSERT_TRUE(pads.Read(&s));
    EXPECT_EQ(pads.Count(), before);
    EXPECT_FALSE(s.plunge || s.rightFlip || s.nudge);

    // Plugged in again: taken in again.
    ASSERT_TRUE(pad.Plug());
    pad.SetButton(Button::LeftShoulder, true);
    pad.SetButton(Button::Start, true);
    ASSERT_TRUE(pads.Read(&s));
    EXPECT_EQ(pads.Count(), before + 1);
    EXPECT_TRUE(s.leftFlip);
    EXPECT_TRUE(s.start);
    EXPECT_FALSE(s.plunge);  // a new pad starts with every button up
}

}  // namespace
