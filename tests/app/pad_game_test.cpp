// A game of the generated tables played by SDL's virtual pad, through the
// game's own pad reader: Start leaves the menu, A launches, the shoulders
// flip, a stick push nudges, Start goes back to the menu.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/game_app.h"
#include "physics/main_ball.h"
#include "platform/gamepad.h"
#include "script/file_access.h"
#include "tests/test_files.h"

namespace {

std::uint32_t fakeNow = 1000;
std::uint32_t FakeClock() {
    return fakeNow;
}

using Button = platform::VirtualPad::Button;
using Axis = platform::VirtualPad::Axis;

class PadGame : public ::testing::Test {
protected:
    void SetUp() override {
        const std::filesystem::path build(ZARNIK_BINARY_DIR);
        if (!std::filesystem::exists(build / "data.pak"))
            GTEST_SKIP() << "the game data is not built";
        // SDL drops pad input while no window of the program has the focus,
        // and the dummy driver's window never gets it.
        setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
        home = std::filesystem::current_path();
        std::filesystem::create_symlink(build / "data.pak", dir.File("data.pak"));
        std::filesystem::create_directory_symlink(build / "data", dir.File("data"));
        std::filesystem::current_path(dir.Path());
        // The player's files stay in the scratch folder, not in the build's data.
        std::filesystem::create_directories("user/data");
        SetUserDataFolder((std::filesystem::current_path() / "user").string());
        app = std::make_unique<GameApp>();
        app->keyboard = &keys;
        app->clock = &FakeClock;
        ASSERT_TRUE(app->Initialise());
        ASSERT_TRUE(pad.Plug());
    }
    void TearDown() override {
        if (app)
            app->Shutdown();
        app.reset();
        SetUserDataFolder("");
        if (!home.empty())
            std::filesystem::current_path(home);
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            fakeNow += 10;
            ASSERT_TRUE(app->Frame());
        }
    }

    ScratchDir dir{"pad-game"};
    std::filesystem::path home;
    platform::ManualKeyboard keys;
    platform::VirtualPad pad;
    std::unique_ptr<GameApp> app;
};

TEST_F(PadGame, StartLaunchFlipNudgeAndBackToTheMenu) {
    Frames(2);
    ASSERT_TRUE(app->menuMode);
    pad.SetButton(Button::Start, true);
    Frames(1);
    pad.SetButton(Button::Start, false);
    EXPECT_FALSE(app->menuMode);
    // The welcome, then the ball drops onto the plunger.
    Frames(300);
    ASSERT_TRUE(app->table.loaded);
    ASSERT_GT(app->table.BallCount(), 0);
    MainBall* ball = dynamic_cast<MainBall*>(app->table.Ball(0)->Object());
    const float restY = ball->position.y;
    ASSERT_GT(restY, 0.9f);

    // A held pulls the plunger; let go, it launches the ball up the lane.
    pad.SetButton(Button::A, true);
    Frames(100);
    EXPECT_TRUE(app->table.SpringPressed());
    pad.SetButton(Button::A, false);
    Frames(40);
    EXPECT_FALSE(app->table.SpringPressed());
    EXPECT_LT(ball->position.y, restY - 0.3f) << "rest " << restY;  // half way up the table

    // Shoulder and trigger flip.
    pad.SetButton(Button::LeftShoulder, true);
    pad.SetAxis(Axis::RightTrigger, 32767);
    Frames(1);
    EXPECT_TRUE(app->table.LeftHandlePressed());
    EXPECT_TRUE(app->table.RightHandlePressed());
    pad.SetButton(Button::LeftShoulder, false);
    pad.SetAxis(Axis::RightTrigger, 0);

    // A stick push nudges the table.
    pad.SetAxis(Axis::LeftY, -32768);
    Frames(1);
    EXPECT_TRUE(app->table.TiltPressed());
    pad.SetAxis(Axis::LeftY, 0);

    // Start again: the menu.
    Frames(30);
    pad.SetButton(Button::Start, true);
    Frames(1);
    pad.SetButton(Button::Start, false);
    EXPECT_TRUE(app->menuMode);
}

}  // namespace
