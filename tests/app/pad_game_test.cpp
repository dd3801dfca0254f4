// A game of the generated tables played by SDL's virtual pad, through the
// game's own pad reader: Start leaves the menu, A launches, the shoulders
// flip, a stick push nudges, Start goes back to the menu. And the generated
// menus driven without a mouse, by keys alone and by the pad alone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/game_app.h"
#include "menu/menu_wrapper.h"
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

    // A key or a pad button down for a frame, then up for one.
    void TapKey(int code) {
        keys.Set(code, true);
        Frames(1);
        keys.Set(code, false);
        Frames(1);
    }
    void TapPad(Button button) {
        pad.SetButton(button, true);
        Frames(1);
        pad.SetButton(button, false);
        Frames(1);
    }
    // Steps the highlight until it is on the control of that name, the
    // switch of that name or the button that opens it; false after a round.
    static bool Lit(const char* name) {
        const MenuWrapper* c = Menus().navigator.Highlight();
        return c && (c->name == name || (c->parent && c->parent->name == name) ||
                     (c->Child(1) && c->Child(1)->name == name));
    }
    bool MoveTo(const char* name, const std::function<void()>& step) {
        for (int i = 0; i < 24 && !Lit(name); ++i)
            step();
        return Lit(name);
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

// The game looks for new pads only now and then while none is plugged in:
// one plugged in after a long game without any works on its first frame,
// and one pulled out with a button held lets go of it at once.
TEST_F(PadGame, APadPluggedInMidGameFlipsAtOnceAndLetsGoWhenPulledOut) {
    pad.Unplug();
    app->LeaveMenu();
    Frames(300);
    ASSERT_FALSE(app->menuMode);
    ASSERT_TRUE(app->table.loaded);
    EXPECT_FALSE(app->table.LeftHandlePressed());

    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(pad.Plug());
        pad.SetButton(Button::LeftShoulder, true);
        Frames(1);
        EXPECT_TRUE(app->table.LeftHandlePressed()) << "round " << round;
        pad.Unplug();
        Frames(1);
        EXPECT_FALSE(app->table.LeftHandlePressed()) << "round " << round;
        Frames(37);  // past a scan, to a frame in between
    }
}

TEST_F(PadGame, KeysAloneSetTheVolumeTheScalingAndTheName) {
    constexpr int kEsc = 1, kEnter = 28, kUp = 200, kLeft = 203, kRight = 205, kDown = 208;
    const auto down = [&] { TapKey(kDown); };
    Frames(2);
    // The output's volume outlives a game in this process: the slider starts full.
    Menus().SetFloat("AUDIOVOLUME", 1.0f);
    ASSERT_TRUE(MoveTo("OPTIONSMENU", down));
    TapKey(kEnter);
    ASSERT_TRUE(Menus().Find("OPTIONSMENU")->IsShown());

    ASSERT_TRUE(MoveTo("AUDIOVOLUME", down));
    TapKey(kLeft);
    TapKey(kLeft);
    EXPECT_FLOAT_EQ(app->audioVolume, 0.9f) << "two of the slider's 20 steps down from full";

    const bool wasSharp = app->window.GetScaleMode() == platform::ScaleMode::Sharp;
    ASSERT_TRUE(MoveTo("SHARPSCALE", down));
    TapKey(kRight);
    EXPECT_NE(app->window.GetScaleMode() == platform::ScaleMode::Sharp, wasSharp);
    GameOptions saved;
    ASSERT_TRUE(ReadOptionsFile(GameOptions::kPath, &saved));
    EXPECT_EQ(saved.sharpscale, wasSharp ? 0 : 1);

    // Escape ends an entry, not the menu.
    ASSERT_TRUE(MoveTo("PLAYER_NAME", down));
    TapKey(kEnter);
    TapKey(kUp);
    TapKey(kEsc);
    ASSERT_TRUE(app->menuMode);
    // "Player": P up to Q, then a letter after the end.
    TapKey(kEnter);
    TapKey(kUp);
    for (int i = 0; i < 6; ++i)
        TapKey(kRight);
    TapKey(kUp);
    TapKey(kEnter);
    TapKey(kEsc);  // the menu key: the game starts with the name
    EXPECT_FALSE(app->menuMode);
    EXPECT_STREQ(app->playerName.c_str(), "QlayerA");

    // The next run scales as chosen, unless --scale says otherwise.
    const platform::ScaleMode chosen = app->window.GetScaleMode();
    for (int scale : {-1, chosen == platform::ScaleMode::Sharp ? 0 : 1}) {
        app->Shutdown();
        app.reset();
        app = std::make_unique<GameApp>();
        app->keyboard = &keys;
        app->clock = &FakeClock;
        app->scaleChoice = scale;
        ASSERT_TRUE(app->Initialise());
        EXPECT_EQ(app->window.GetScaleMode() == chosen, scale < 0) << scale;
    }
}

TEST_F(PadGame, PadOpensTheOptionsStepsTheVolumeGoesBackAndStarts) {
    const auto down = [&] { TapPad(Button::Down); };
    Frames(2);
    // The output's volume outlives a game in this process: the slider starts full.
    Menus().SetFloat("AUDIOVOLUME", 1.0f);
    ASSERT_TRUE(MoveTo("OPTIONSMENU", down));
    MenuWrapper* opener = Menus().navigator.Highlight();
    TapPad(Button::A);
    MenuWrapper* options = Menus().Find("OPTIONSMENU");
    ASSERT_TRUE(options->IsShown());
    ASSERT_TRUE(MoveTo("AUDIOVOLUME", down));
    TapPad(Button::Left);
    EXPECT_FLOAT_EQ(app->audioVolume, 0.95f);
    TapPad(Button::B);
    EXPECT_FALSE(options->IsShown()) << "B is the options' back button";
    Frames(1);
    EXPECT_EQ(Menus().navigator.Highlight(), opener) << "back on the button that opened them";
    ASSERT_TRUE(MoveTo("START", [&] { TapPad(Button::Up); }));
    TapPad(Button::A);
    EXPECT_FALSE(app->menuMode);
}

}  // namespace
