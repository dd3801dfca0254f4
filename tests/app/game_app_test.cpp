#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "app/app_config.h"
#include "app/game_app.h"
#include "audio/cd_player.h"
#include "audio/sound_system.h"
#include "menu/menu_wrapper.h"
#include "render/cursor.h"
#include "tests/render/render_fixture.h"
#include "tests/test_files.h"

namespace {

std::uint32_t fakeNow = 1000;
std::uint32_t FakeClock() {
    return fakeNow;
}

// A small game in a folder of its own: three one-ball tables, a menu with
// every preference control, the system font and the bindings.
const char* kConfig =
    "video { width = 320; height = 240; fullscreen = 1; };;\r\n"
    "startup { mainmenu = \"data\\menu\\main.script\"; };;\r\n"
    "menu { font = \"data\\fonts\\default.bmp\"; scoretext { x = 10; y = 10; };; };;\r\n"
    "tables { tablecount = 3; filestart = \"data\\tables\\t\"; fileend = \".script\"; };;\r\n";

const char* kMenu =
    "MenuWrapper {\r\n"
    " name = \"MAINMENU\";\r\n"
    " MenuButton { name = \"START\"; tx = 100; ty = 100; tw = 50; th = 20; };\r\n"
    " MenuButton { name = \"EXIT\"; tx = 200; ty = 100; tw = 50; th = 20; };\r\n"
    " MenuButton { name = \"NEXTGAME\"; tx = 0; ty = 0; tw = 10; th = 10; };\r\n"
    " MenuButton { name = \"PREVGAME\"; tx = 20; ty = 0; tw = 10; th = 10; };\r\n"
    " MenuAnimation { name = \"GAMESELECTOR\"; filestart = \"sel\"; fileend = \".bmp\";\r\n"
    "   filecount = 72; frametime = 0.01; temp = 1; };\r\n"
    " MenuButton { name = \"OPTIONSBUTTON\"; tx = 0; ty = 200; tw = 10; th = 10;\r\n"
    "  MenuWrapper { name = \"HIGHLIGHT\"; };\r\n"
    "  MenuWrapper { name = \"OPTIONS\";\r\n"
    "   MenuButton { name = \"DEACTIVATEMENU\"; tx = 0; ty = 0; tw = 10; th = 10; };\r\n"
    "   MenuSwitch { name = \"FULLSCREEN\"; statecount = 2; MenuWrapper { }; MenuWrapper { }; "
    "};\r\n"
    "   MenuSwitch { name = \"TRUECOLOR\"; statecount = 2; MenuWrapper { }; MenuWrapper { }; };\r\n"
    "   MenuSlider { name = \"AUDIOVOLUME\"; };\r\n"
    "   MenuSlider { name = \"CDVOLUME\"; };\r\n"
    "   MenuGetControl { name = \"LEFTHANDLE_CONTROL\"; };\r\n"
    "   MenuGetControl { name = \"RIGHTHANDLE_CONTROL\"; };\r\n"
    "   MenuGetControl { name = \"LAUNCH_CONTROL\"; Caption = \"unchanged\"; };\r\n"
    "   MenuGetControl { name = \"TILT_CONTROL\"; };\r\n"
    "   MenuEditControl { name = \"PLAYER_NAME\"; Caption = \"Ada\"; };\r\n"
    "  };\r\n"
    " };\r\n"
    "};\r\n";

const char* kInput =
    "input {\r\n"
    " control { name = \"LEFTHANDLE\"; device = \"SYSTEM_KEYBOARD\"; devicecode = \"LSHIFT\"; "
    "};;\r\n"
    " control { name = \"RIGHTHANDLE\"; device = \"SYSTEM_KEYBOARD\"; devicecode = \"RSHIFT\"; "
    "};;\r\n"
    " control { name = \"SPRING\"; device = \"SYSTEM_KEYBOARD\"; devicecode = \"F16\"; };;\r\n"
    " control { name = \"EXIT\"; device = \"SYSTEM_KEYBOARD\"; devicecode = \"ESCAPE\"; };;\r\n"
    " control { name = \"TILT\"; device = \"SYSTEM_KEYBOARD\"; devicecode = \"T\"; };;\r\n"
    "};;\r\n";

std::string TableScript(int balls) {
    return "ScreenRect { left = 0; right = 200; top = 0; bottom = 240; };;\r\n"
           "TableSettings { ball_count = " +
           std::to_string(balls) + "; };;\r\n";
}

class GameAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        home = std::filesystem::current_path();
        WriteFile(dir.File("data/config.script"), kConfig);
        WriteFile(dir.File("data/menu/main.script"), kMenu);
        WriteFile(dir.File("data/input.script"), kInput);
        WriteFile(dir.File("data/fonts/default.bmp"), SolidBmp(64, 64, 0xFFFFFF));
        for (int t = 0; t < 3; ++t)
            WriteFile(dir.File("data/tables/t000" + std::to_string(t) + ".script"), TableScript(3));
        std::filesystem::current_path(dir.Path());
        fakeNow = 1000;
    }
    void TearDown() override {
        if (app)
            app->Shutdown();
        app.reset();
        std::filesystem::current_path(home);
    }
    void Start(bool safemode = false) {
        app = std::make_unique<GameApp>();
        app->keyboard = &keys;
        app->clock = &FakeClock;
        app->safemode = safemode;
        ASSERT_TRUE(app->Initialise());
    }
    // One frame, `ms` milliseconds after the last.
    void Frames(int n, int ms = 10) {
        for (int i = 0; i < n; ++i) {
            fakeNow += std::uint32_t(ms);
            ASSERT_TRUE(app->Frame());
        }
    }
    void Key(int type, int keyCode, bool alt = false) {
        platform::WindowEvent e;
        e.type = platform::WindowEventType(type);
        e.keyCode = keyCode;
        e.alt = alt;
        app->HandleWindowEvent(e);
    }
    void KeyDown(int keyCode, bool alt = false) {
        Key(int(platform::WindowEventType::KeyDown), keyCode, alt);
    }
    MenuWrapper* Control(const char* name) { return Menus().Find(name); }

    ScratchDir dir{"game"};
    std::filesystem::path home;
    platform::ManualKeyboard keys;
    std::unique_ptr<GameApp> app;
};

TEST_F(GameAppTest, StartsInTheMenuWithThePreferencesPublished) {
    Start();
    EXPECT_TRUE(app->menuMode);
    ASSERT_TRUE(Menus().root);
    EXPECT_TRUE(Menus().root->active);
    EXPECT_EQ(app->tables.Count(), 3);
    EXPECT_FALSE(app->table.loaded);  // no table before the player leaves the menu

    FixedString<256> text;
    ASSERT_TRUE(Menus().GetString("LEFTHANDLE_CONTROL", &text));
    EXPECT_EQ(text, "LSHIFT");
    ASSERT_TRUE(Menus().GetString("TILT_CONTROL", &text));
    EXPECT_EQ(text, "T");
    // F16 has no code: the menu keeps its own text.
    ASSERT_TRUE(Menus().GetString("LAUNCH_CONTROL", &text));
    EXPECT_EQ(text, "unchanged");
    std::int32_t full = -1;
    ASSERT_TRUE(Menus().GetInt("FULLSCREEN", &full));
    EXPECT_EQ(full, 1);  // the configuration's full screen
}

TEST_F(GameAppTest, SafeModeKeepsAWindowAndIgnoresAltF) {
    WriteFile("data/settings", std::string("\x20\0\0\0\x01\0\0\0", 8));
    Start(true);
    EXPECT_FALSE(app->display.fullscreen);
    KeyDown('f', true);
    EXPECT_FALSE(app->videoChanged);

    app->safemode = false;
    KeyDown('f', false);  // without Alt: only a letter
    EXPECT_FALSE(app->videoChanged);
    KeyDown('f', true);
    EXPECT_TRUE(app->videoChanged);
    EXPECT_TRUE(app->display.fullscreen);
    Frames(1);
    EXPECT_FALSE(app->videoChanged);
}

TEST_F(GameAppTest, LeavingTheMenuTakesKeysAndNameAndLoadsTheFirstTable) {
    Start();
    Menus().SetString("LAUNCH_CONTROL", "SPACE");
    Menus().SetString("LEFTHANDLE_CONTROL", "NOSUCHKEY");
    app->LeaveMenu();
    EXPECT_FALSE(app->menuMode);
    EXPECT_FALSE(Menus().root->active);
    EXPECT_EQ(app->input.bindings[app->input.controls.spring].devicecode, 57);
    EXPECT_EQ(app->input.bindings[app->input.controls.leftHandle].devicecode, 0);
    EXPECT_EQ(app->playerName, "Ada");
    EXPECT_STREQ(app->tablePath.c_str(), "data\\tables\\t0000.script");
    EXPECT_TRUE(app->tableReload);
    Frames(1);
    EXPECT_TRUE(app->table.loaded);
    EXPECT_EQ(app->table.ball_count, 3);
    EXPECT_FALSE(app->tableReload);
}

TEST_F(GameAppTest, TrueColourIsAFullScreenChoice) {
    Start();
    app->display.fullscreen = false;
    Menus().SetInt("FULLSCREEN", 0);
    Menus().SetInt("TRUECOLOR", 1);
    app->TakeVideoPreferences();
    EXPECT_FALSE(app->videoChanged);
    std::int32_t v = -1;
    Menus().GetInt("TRUECOLOR", &v);
    EXPECT_EQ(v, 0);  // shown as it is again

    Menus().SetInt("FULLSCREEN", 1);
    Menus().SetInt("TRUECOLOR", 1);
    app->CarryOutAction(Control("FULLSCREEN"));
    EXPECT_TRUE(app->videoChanged);
    EXPECT_TRUE(app->display.fullscreen);
    EXPECT_TRUE(app->display.truecolor);
}

TEST_F(GameAppTest, NextAndPreviousTurnTheSelectorAndWrapRound) {
    Start();
    MenuWrapper* next = Control("NEXTGAME");
    MenuWrapper* prev = Control("PREVGAME");
    struct Step {
        MenuWrapper* control;
        int index;
    } steps[] = {{next, 1}, {next, 2}, {next, 0}, {prev, 2}, {prev, 1}};
    for (const Step& s : steps) {
        next->active = prev->active = true;
        app->CarryOutAction(s.control);
        EXPECT_EQ(app->tables.current, s.index);
        EXPECT_FALSE(s.control->active);  // the button is let go
        EXPECT_TRUE(app->tableReload);
        app->tableReload = false;
        Frames(200);  // the selector's turn ends
    }
    // While the selector still turns, a step is refused.
    app->CarryOutAction(next);
    EXPECT_EQ(app->tables.current, 2);
    app->CarryOutAction(next);
    EXPECT_EQ(app->tables.current, 2);

    // No tables: nothing turns, nothing divides by zero.
    app->tables.paths.Clear();
    app->tables.current = 0;
    app->tableReload = false;
    Frames(200);
    app->CarryOutAction(next);
    app->CarryOutAction(prev);
    EXPECT_EQ(app->tables.current, 0);
    EXPECT_FALSE(app->tableReload);
}

TEST_F(GameAppTest, BackClosesTheSubmenuAndFromTheTopResumesTheGame) {
    Start();
    MenuWrapper* options = Control("OPTIONSBUTTON");
    Control("OPTIONS")->Activate();
    EXPECT_TRUE(options->active);
    app->CarryOutAction(Control("DEACTIVATEMENU"));
    EXPECT_FALSE(options->active);  // the grandparent: the button that opened it
    EXPECT_TRUE(app->menuMode);

    // A back control right under the top menu closes it: the game resumes.
    MenuWrapper* start = Control("START");
    start->action = ACTION_DEACTIVATEMENU;
    app->CarryOutAction(start);
    EXPECT_FALSE(app->menuMode);
}

TEST_F(GameAppTest, AClickOnStartStartsANewGameAndExitQuits) {
    Start();
    platform::WindowEvent e;
    e.x = 120;
    e.y = 110;
    for (auto type : {platform::WindowEventType::PointerMove, platform::WindowEventType::LeftDown,
                      platform::WindowEventType::LeftUp}) {
        e.type = type;
        app->HandleWindowEvent(e);
    }
    // Pressed and let go before a frame: the next frame still sees it down.
    EXPECT_TRUE(app->leftButton);
    Frames(1);
    EXPECT_TRUE(app->menuMode);
    EXPECT_FALSE(app->leftButton);
    Frames(1);
    EXPECT_FALSE(app->menuMode);
    EXPECT_TRUE(app->table.loaded);  // in the same frame

    app->CarryOutAction(Control("EXIT"));
    EXPECT_TRUE(app->quit);
}

TEST_F(GameAppTest, HeldEscapeSwitchesModesFourTimesASecond) {
    Start();
    Frames(1);
    keys.Set(1, true);  // ESCAPE
    int switches = 0;
    bool mode = app->menuMode;
    for (int i = 0; i < 100; ++i) {
        Frames(1, 10);
        if (app->menuMode != mode) {
            ++switches;
            mode = app->menuMode;
        }
    }
    EXPECT_EQ(switches, 4);
}

TEST_F(GameAppTest, AFrameOfQuarterASecondStepsTheTableByATenth) {
    Start();
    app->LeaveMenu();
    Frames(1);
    ASSERT_TRUE(app->table.loaded);
    const float before = app->table.lightShowTime;
    Frames(1, 250);
    EXPECT_FLOAT_EQ(before - app->table.lightShowTime, 0.1f);
    EXPECT_FLOAT_EQ(app->fps, 10.0f);
    Frames(1, 0);
    EXPECT_EQ(app->fps, -1.0f);
}

TEST_F(GameAppTest, EnterStartsANewGameOnlyAfterTheLastBall) {
    Start();
    app->LeaveMenu();
    Frames(1);
    app->table.currentBallNumber = 2;
    KeyDown(platform::KEYCODE_RETURN);
    EXPECT_FALSE(app->tableReload);
    app->table.currentBallNumber = 3;
    KeyDown(platform::KEYCODE_KEYPAD_ENTER);
    EXPECT_TRUE(app->tableReload);
}

TEST_F(GameAppTest, DeveloperQTogglesTheOverlayAndTheSystemPointerHidesOverTheClient) {
    Start();
    KeyDown('q');
    EXPECT_FALSE(app->overlay);
    app->developer = true;
    KeyDown('q');
    EXPECT_TRUE(app->overlay);
    Frames(1);  // the overlay draws
    KeyDown('q');
    EXPECT_FALSE(app->overlay);

    EXPECT_TRUE(app->cursorShown);
    Key(int(platform::WindowEventType::PointerEnter), 0);
    EXPECT_FALSE(app->cursorShown);
    Key(int(platform::WindowEventType::PointerLeave), 0);
    EXPECT_TRUE(app->cursorShown);
}

TEST_F(GameAppTest, ShutdownWritesTheSettingsAndTheScoreOfTheGame) {
    WriteFile("data/settings", std::string("\x10\0\0\0\0\0\0\0\0\0\0\x3F\0\0\x80\x3E", 16));
    Start();
    if (GetSoundSystem().HasDevice()) {
        EXPECT_NEAR(GetSoundSystem().GetAudioVolume(), 0.5f, 0.001f);
    }
    app->LeaveMenu();
    Frames(1);
    app->table.score = 1234;
    const int app_bpp = app->display.bpp;
    ASSERT_TRUE(app->Shutdown());
    app.reset();

    const std::string settings = ReadFile("data/settings");
    ASSERT_EQ(settings.size(), 16u);
    SavedSettings s;
    DecodeSettings(reinterpret_cast<const std::uint8_t*>(settings.data()), 16, &s);
    EXPECT_EQ(s.fullscreen, 0);  // the saved choice over the configuration's
    EXPECT_EQ(s.bpp, app_bpp);
    EXPECT_NEAR(s.audioVolume, 0.5f, 0.001f);
    EXPECT_NEAR(s.cdVolume, 0.25f, 0.001f);

    ScoresList scores;
    ASSERT_TRUE(scores.Read("data\\scores"));
    ASSERT_EQ(scores.players.Count, 1);
    EXPECT_STREQ(scores.players[0].name, "Ada");
    ASSERT_EQ(scores.players[0].results.Count, 1);
    EXPECT_STREQ(scores.players[0].results[0].table, "data\\tables\\t0000.script");
    EXPECT_EQ(scores.players[0].results[0].score, 1234);
}

}  // namespace
