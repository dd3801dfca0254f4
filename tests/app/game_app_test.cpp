#include "audio/sound_system.h"
#include "tests/app/game_fixture.h"

namespace {

using platform::WindowEventType;

// Three tables of three balls, a menu with the controls the program acts on
// and two bindings.
class GameAppTest : public GameTest {
protected:
    void SetUp() override {
        WriteFile(dir.File("data/input.script"),
                  "input { control { name = \"LEFTHANDLE\"; devicecode = \"LSHIFT\"; };;"
                  " control { name = \"SPRING\"; devicecode = \"F16\"; };; };;");
        WriteGame(
            "width = 320; height = 240; fullscreen = 1;",
            "MenuWrapper { MenuButton { name = \"START\"; tx = 100; ty = 100; };"
            " MenuButton { name = \"EXIT\"; }; MenuButton { name = \"NEXTGAME\"; };"
            " MenuButton { name = \"PREVGAME\"; }; MenuAnimation { name = \"GAMESELECTOR\";"
            "  filecount = 72; frametime = 0.01; temp = 1; };"
            " MenuButton { name = \"OPTIONSBUTTON\"; MenuWrapper { }; MenuWrapper { name = "
            "\"OPTIONS\"; MenuButton { name = \"DEACTIVATEMENU\"; };"
            "  MenuSwitch { name = \"FULLSCREEN\"; MenuWrapper { }; MenuWrapper { }; };"
            "  MenuSwitch { name = \"TRUECOLOR\"; MenuWrapper { }; MenuWrapper { }; };"
            "  MenuSlider { name = \"AUDIOVOLUME\"; }; MenuGetControl { name = "
            "\"LEFTHANDLE_CONTROL\"; }; MenuGetControl { name = \"LAUNCH_CONTROL\"; Caption = "
            "\"unchanged\"; }; MenuEditControl { name = \"PLAYER_NAME\"; Caption = \"Ada\"; };"
            " }; }; };",
            3, "ScreenRect { right = 200; bottom = 240; };; TableSettings { ball_count = 3; };;");
    }
    std::string Text(const char* name) {
        return std::string(Menus().Find(name)->StringValue()->view());
    }
    std::int32_t Int(const char* name) { return *Menus().Find(name)->IntValue(); }
    MenuWrapper* Control(const char* name) { return Menus().Find(name); }
};

TEST_F(GameAppTest, ThePreferencesGoToTheMenuAndComeBackWhenTheGameStarts) {
    Start();
    EXPECT_TRUE(app->menuMode && Menus().root->active);
    EXPECT_FALSE(app->table.loaded) << "no table before the player leaves the menu";
    EXPECT_EQ(Text("LEFTHANDLE_CONTROL"), "LSHIFT");
    EXPECT_EQ(Text("LAUNCH_CONTROL"), "unchanged") << "F16 has no code: the menu keeps its text";
    EXPECT_EQ(Int("FULLSCREEN"), 1) << "the configuration's";
    // True colour is a full-screen choice: in a window the menu shows it off again.
    app->display.fullscreen = false;
    Menus().SetInt("FULLSCREEN", 0);
    Menus().SetInt("TRUECOLOR", 1);
    app->TakeVideoPreferences();
    EXPECT_EQ(Int("TRUECOLOR"), 0);
    EXPECT_FALSE(app->videoChanged);
    Menus().SetInt("FULLSCREEN", 1);
    Menus().SetInt("TRUECOLOR", 1);
    app->CarryOutAction(Control("FULLSCREEN"));
    EXPECT_TRUE(app->videoChanged && app->display.fullscreen && app->display.truecolor);

    Menus().SetString("LAUNCH_CONTROL", "SPACE");
    Menus().SetString("LEFTHANDLE_CONTROL", "NOSUCHKEY");
    app->tables.current = 2;
    app->LeaveMenu();
    EXPECT_FALSE(app->menuMode || Menus().root->active);
    EXPECT_EQ(app->input.bindings[app->input.controls.spring].devicecode, 57);
    EXPECT_EQ(app->input.bindings[app->input.controls.leftHandle].devicecode, 0);
    EXPECT_EQ(app->playerName, "Ada");
    Frames(1);
    EXPECT_EQ(app->table.tablePath, "data\\t0002.script") << "the selected table";
}

TEST_F(GameAppTest, AClickShorterThanAFrameStartsAGameThatTheFrameClockSteps) {
    Start();
    Event(WindowEventType::PointerMove);
    Event(WindowEventType::LeftDown);
    Event(WindowEventType::LeftUp);
    Frames(1);
    EXPECT_TRUE(app->menuMode) << "the frame sees the button down";
    Frames(1);
    EXPECT_FALSE(app->menuMode) << "and the next sees it let go: START is clicked";
    EXPECT_TRUE(app->table.loaded);
    const float before = app->table.lightShowTime;
    Frames(1, 250);
    EXPECT_FLOAT_EQ(before - app->table.lightShowTime, 0.1f) << "a quarter second steps a tenth";
    EXPECT_FLOAT_EQ(app->fps, 10.0f);
    // Enter starts a new game after the last ball only.
    app->table.currentBallNumber = 2;
    Event(WindowEventType::KeyDown, platform::KEYCODE_RETURN);
    EXPECT_FALSE(app->tableReload);
    app->table.currentBallNumber = 3;
    Event(WindowEventType::KeyDown, platform::KEYCODE_KEYPAD_ENTER);
    EXPECT_TRUE(app->tableReload);
    // In the menu again: START starts the game anew, EXIT quits.
    app->tableReload = false;
    app->EnterMenu();
    app->CarryOutAction(Control("START"));
    EXPECT_TRUE(app->tableReload && !app->menuMode);
    app->CarryOutAction(Control("EXIT"));
    EXPECT_TRUE(app->quit);
}

TEST_F(GameAppTest, NextAndPreviousTurnTheSelectorAndWrapRound) {
    Start();
    MenuWrapper* next = Control("NEXTGAME");
    MenuWrapper* prev = Control("PREVGAME");
    for (auto [control, index] : {std::pair{next, 1}, {next, 2}, {next, 0}, {prev, 2}, {prev, 1}}) {
        control->active = true;
        app->CarryOutAction(control);
        EXPECT_EQ(app->tables.current, index);
        EXPECT_FALSE(control->active) << "the button is let go";
        EXPECT_TRUE(app->tableReload);
        Frames(200);  // the selector's turn ends
    }
    // While the selector still turns, a step is refused.
    app->CarryOutAction(next);
    app->CarryOutAction(next);
    EXPECT_EQ(app->tables.current, 2);
    // No tables: nothing turns, nothing divides by zero.
    app->tables.paths.Clear();
    app->tables.current = 0;
    Frames(200);
    app->CarryOutAction(prev);
    EXPECT_EQ(app->tables.current, 0);
}

TEST_F(GameAppTest, BackClosesTheSubmenuAndFromTheTopResumesTheGame) {
    Start();
    Control("OPTIONS")->Activate();
    app->CarryOutAction(Control("DEACTIVATEMENU"));
    EXPECT_FALSE(Control("OPTIONSBUTTON")->active) << "the button that opened it closes";
    EXPECT_TRUE(app->menuMode);
    Control("EXIT")->action = ACTION_DEACTIVATEMENU;
    app->CarryOutAction(Control("EXIT"));
    EXPECT_FALSE(app->menuMode);
}

TEST_F(GameAppTest, SafeModeKeepsAWindowAndTheWindowsKeysDoTheirOwn) {
    WriteFile("data/settings", std::string("\x20\0\0\0\x01\0\0\0", 8));
    Start(true);
    EXPECT_FALSE(app->display.fullscreen);
    Event(WindowEventType::KeyDown, 'f', true);
    EXPECT_FALSE(app->videoChanged) << "no Alt+F in safe mode";
    app->safemode = false;
    Event(WindowEventType::KeyDown, 'f');
    Event(WindowEventType::KeyDown, 'q');
    EXPECT_FALSE(app->videoChanged || app->overlay) << "letters only";
    Event(WindowEventType::KeyDown, 'f', true);
    app->developer = true;
    Event(WindowEventType::KeyDown, 'q');
    EXPECT_TRUE(app->videoChanged && app->display.fullscreen && app->overlay);
    Frames(1);  // a new display, and the overlay drawn
    Event(WindowEventType::PointerEnter);
    EXPECT_FALSE(app->cursorShown);
    Event(WindowEventType::PointerLeave);
    EXPECT_TRUE(app->cursorShown);
}

TEST_F(GameAppTest, TheSettingsAndTheGamesScoreAreWrittenAtShutdown) {
    WriteFile("data/settings", std::string("\x10\0\0\0\0\0\0\0\0\0\0\x3F\0\0\x80\x3E", 16));
    Start();
    ASSERT_TRUE(GetSoundSystem().HasDevice());
    EXPECT_NEAR(GetSoundSystem().GetAudioVolume(), 0.5f, 0.001f);
    Menus().SetFloat("AUDIOVOLUME", 1.5f);
    app->CarryOutAction(Control("AUDIOVOLUME"));
    EXPECT_NEAR(GetSoundSystem().GetAudioVolume(), 1.0f, 0.001f);
    app->LeaveMenu();
    Frames(1);
    app->table.score = 1234;
    ASSERT_TRUE(app->Shutdown());
    app.reset();
    SavedSettings s;
    ASSERT_TRUE(ReadSettingsFile("data\\settings", &s));
    EXPECT_EQ(s.fullscreen, 0) << "the saved choice over the configuration's";
    EXPECT_NEAR(s.audioVolume, 1.0f, 0.001f);
    EXPECT_NEAR(s.cdVolume, 0.25f, 0.001f);
    ScoresList scores;
    ASSERT_TRUE(scores.Read("data\\scores"));
    ASSERT_EQ(scores.players.Count, 1);
    EXPECT_STREQ(scores.players[0].name, "Ada");
    ASSERT_EQ(scores.players[0].results.Count, 1);
    EXPECT_STREQ(scores.players[0].results[0].table, "data\\t0000.script");
    EXPECT_EQ(scores.players[0].results[0].score, 1234);
}

}  // namespace
