#include <gtest/gtest.h>

#include "platform/keyboard.h"
#include "platform/window.h"
#include "render/display.h"
#include "render/picture.h"

namespace {

// The test main selects SDL's dummy video driver: a window exists but no
// display shows it.
class HeadlessWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platform::InitVideo());
        ASSERT_TRUE(window.Create("Zarnik", 320, 200, false));
    }
    void TearDown() override { window.Destroy(); }
    platform::Window window;
};

TEST_F(HeadlessWindow, WindowedTakesTheDesktopDepthAndFullScreenTheTrueColourChoice) {
    int dw = 0, dh = 0, bits = 0;
    ASSERT_TRUE(platform::DesktopMode(&dw, &dh, &bits));
    Display d;
    d.width = 320;
    d.height = 200;
    d.bpp = 24;  // the setting is overwritten
    ASSERT_TRUE(d.Initialise(&window));
    EXPECT_EQ(d.bpp, bits);
    EXPECT_EQ(d.BackPicture()->Width(), 320);

    d.fullscreen = true;
    ASSERT_TRUE(d.ReCreate());
    EXPECT_EQ(d.bpp, 16);
    EXPECT_EQ(d.Format().bits, 16);
    d.truecolor = true;
    ASSERT_TRUE(d.ReCreate());
    EXPECT_EQ(d.Format().bits, 32);
    EXPECT_TRUE(d.Present());
}

}  // namespace

namespace {

// SDL's scan code of Escape (the USB usage number), the table's code 1.
constexpr int kSdlEscape = 41;

TEST(SdlKeyboard, ATapBetweenTwoReadsIsDownForTheNextReadOnly) {
    ASSERT_EQ(platform::ScanCodeFromSdl(kSdlEscape), 1);
    platform::SdlKeyboard keyboard;
    platform::KeyState state;
    ASSERT_TRUE(keyboard.Read(&state));
    EXPECT_FALSE(state.Down(1));  // no display: SDL never sees a key down

    platform::NoteKeyPressed(kSdlEscape);
    ASSERT_TRUE(keyboard.Read(&state));
    EXPECT_TRUE(state.Down(1));
    ASSERT_TRUE(keyboard.Read(&state));
    EXPECT_FALSE(state.Down(1));

    platform::NoteKeyPressed(kSdlEscape);
    platform::ForgetKeyPresses();
    ASSERT_TRUE(keyboard.Read(&state));
    EXPECT_FALSE(state.Down(1));

    platform::NoteKeyPressed(-5);  // out of range: ignored
    platform::NoteKeyPressed(1 << 20);
}

}  // namespace
