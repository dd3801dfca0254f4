#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "app/app_config.h"
#include "app/attract_mode.h"
#include "app/frame_steps.h"
#include "app/frame_timing.h"
#include "app/game_options.h"
#include "app/load_splash.h"
#include "app/replay_playback.h"
#include "app/table_list.h"
#include "input/control_binding.h"
#include "input/replay.h"
#include "platform/file_watch.h"
#include "platform/gamepad.h"
#include "platform/keyboard.h"
#include "platform/window.h"
#include "render/display.h"
#include "script/fixed_string.h"
#include "table/scores.h"
#include "table/table.h"

class DeveloperEditor;
class Font;
class GameScreen;
class MenuWrapper;
class Picture;
class ResourceArchive;
struct CommandLine;

// The game: one object for the whole run. Its parts live in one file each:
// startup.cpp (start-up and shutdown), game_cycle.cpp (the loop, the frame,
// menu and game mode), preferences.cpp (settings and the menu's
// preferences), window_events.cpp (what the window reports), editor_hooks.cpp
// (the developer editor), game_recording.cpp (replays: recording, playing,
// attract mode) and hot_reload.cpp (developer mode: the table follows its
// script file).
//   EnterProgramFolder(argv[0]);  GameApp app;  return app.Main(commandLine);
class GameApp {
public:
    static constexpr const char* kWindowTitle = "Zarnik v1.0";
    static constexpr const char* kScoresPath = "data\\scores";
    static constexpr const char* kDefaultTable = "data\\fsttable.script";

    // Opens "data.pak" of the working folder and installs it for every loader.
    GameApp();
    ~GameApp();
    GameApp(const GameApp&) = delete;
    GameApp& operator=(const GameApp&) = delete;

    // The run after the command line: logo films, initialisation, the game
    // cycle and the shutdown. Returns the exit code (0, or 1 after a failure).
    int Main(const CommandLine& line);

    // --- startup.cpp ---
    bool Initialise();
    // Every step runs; false when one of them failed.
    bool Shutdown();

    // --- game_cycle.cpp ---
    // The loop: events, else a frame. True at an orderly quit.
    bool Run();
    bool Frame();
    void EnterMenu();
    void LeaveMenu();
    // Menu mode's step: the menus and the cursor, then the clicked control.
    void MenuStep(float dt);
    void CarryOutAction(MenuWrapper* control);
    // The loading picture over the whole back surface (black without one).
    void DrawLoading();
    void DrawOverlay();

    // --- preferences.cpp ---
    void PublishPreferences();
    void TakeVideoPreferences();
    void TakeControlKeys();
    void TakePlayerName();
    // The scaling switch: applied at once and kept in the options file.
    void TakeScalePreference();
    // Volumes from the settings file (a missing file leaves them).
    void RestoreVolumes();
    bool SaveSettings();
    // The audio volume: read back from the output when there is one.
    float AudioVolume() const;

    // --- window_events.cpp ---
    void HandleWindowEvent(const platform::WindowEvent& e);

    // --- editor_hooks.cpp (developer mode) ---
    // E: opens the editor (or shows the address of the open one); `dialog`
    // ("open", "save") opens the page with that dialog.
    void OpenEditor(const char* dialog = nullptr);
    // E, Alt+L, Alt+S and the keys that move and shape the selected element.
    bool DeveloperKey(const platform::WindowEvent& e);
    // Before the frame: the page's Close and its chosen table file.
    void EditorBetweenFrames();
    // The table lock for the frame while an editor exists.
    std::unique_lock<std::recursive_mutex> LockTableForFrame();
    // Leaves the frame's lock, then draws the selection's editor marks.
    void DrawEditorView(std::unique_lock<std::recursive_mutex>& frameLock);
    // After a table load: the page refreshes its list (it is not waited for).
    void TableLoadedForEditor();

    // --- game_recording.cpp ---
    static constexpr const char* kReplayFolder = AttractMode::kFolder;
    static constexpr const char* kLastReplay = "data\\replays\\last.replay";
    // A new game on the current table: a fresh seed, recorded with the game.
    bool StartGame();
    // Game mode's step of the table: a replay being shown, or the player's
    // game with its recorder.
    void GameStep(float dt);
    // The game ends (game over, a new game, the menu's replay, shutdown): its
    // recording is kept as the last game when it got anywhere.
    void EndRecordedGame(bool over);
    // The current game so far, or else the last game, under a new name.
    bool SaveReplayAs(std::string* savedPath);
    // Shows a recorded game in place of the player's (zarnik --replay).
    bool StartPlayback(const char* path, std::string* error);
    // The shown game goes; leaving the menu starts a new one.
    void StopPlayback();
    // A short line over the picture for `ms` milliseconds.
    void ShowNotice(const std::string& text, std::int32_t ms);
    void DrawNotice();

    // --- hot_reload.cpp (developer mode) ---
    // After a table load: the script file to follow, and its text now.
    void WatchTableFile();
    // Before the table's update: a changed script file is loaded in place.
    void FollowTableFile();

    // --- the run's parts, in the order they are released ---
    std::unique_ptr<ResourceArchive> archive;
    platform::Window window;
    Display display;
    platform::SdlKeyboard sdlKeyboard;
    platform::KeyboardDevice* keyboard = &sdlKeyboard;  // tests hand in their own
    platform::SdlGamepads sdlGamepads;
    platform::GamepadDevice* gamepad = &sdlGamepads;  // tests hand in their own
    InputManager input;
    AppConfig config;
    VideoSettings video;
    StartupSettings startup;
    std::unique_ptr<Picture> loading;
    LoadSplash splash;
    TableList tables;
    ScoresList scores;
    Table table;
    std::unique_ptr<GameScreen> gameScreen;
    std::unique_ptr<Font> systemFont;
    // Developer mode: at most one; it goes before the table it edits.
    std::unique_ptr<DeveloperEditor> editor;

    GameOptions options;

    // --- replays ---
    ReplayRecorder recorder;
    bool gameUnwritten = false;  // a recorded game whose file is not written yet
    std::uint32_t gamesStarted = 0;
    // When not 0, the seed of the next game only (tests that pin a game's pictures).
    std::uint32_t nextGameSeed = 0;
    ReplayPlayback playback;
    AttractMode attract;
    std::string replayFile;  // --replay: shown instead of the menu at start
    std::string notice;
    std::int32_t noticeMs = 0;

    // --- hot reload ---
    platform::FileWatch tableWatch;
    std::string tableText;  // the script file's text the table was last loaded from

    FixedString<260> tablePath = kDefaultTable;
    FixedString<260> playerName = "unnamed";
    float audioVolume = 1.0f;

    // --- frame state ---
    std::uint32_t (*clock)() = nullptr;  // the millisecond clock; tests set their own
    FrameClock frameClock;
    ExitRepeat exitRepeat;
    FrameTiming frameTiming;  // the overlay's update, draw and present times
    float fps = -1.0f;
    int mouseX = 0, mouseY = 0;
    float mouseNX = 0.0f, mouseNY = 0.0f;
    int framesRun = 0;

    // --- flags ---
    bool developer = false;
    bool safemode = false;
    bool menuMode = false;
    bool overlay = false;
    bool videoChanged = false;
    bool tableReload = false;
    bool quit = false;
    bool minimised = false;
    bool cursorShown = true;
    bool leftButton = false;
    bool leftSeen = true;  // a frame has run since the button went down
    bool leftReleasePending = false;
    int framesToRun = 0;   // --frames: quit after that many; 0 for no limit
    int scaleChoice = -1;  // --scale: 1 sharp, 0 smooth, -1 the configuration's
    std::string screenshot;
};

// Makes the program's data folder (its own folder, where the build stages
// data.pak and data/, or ../share/zarnik when installed) the working
// directory. False when it can't be found or entered.
bool EnterProgramFolder();
