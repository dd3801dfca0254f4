// Start-up and shutdown of the game, in their fixed orders.
#include <unistd.h>

#include <cstring>
#include <string>

#include "app/command_line.h"
#include "app/game_app.h"
#include "app/user_folder.h"
#include "archive/resource_archive.h"
#include "audio/cd_player.h"
#include "audio/sound_system.h"
#include "editor/editor_server.h"
#include "elements/table_elements.h"
#include "menu/game_screen.h"
#include "menu/menu_wrapper.h"
#include "physics/physics_elements.h"
#include "platform/clock.h"
#include "render/cursor.h"
#include "render/font.h"
#include "render/logo_film.h"
#include "render/picture.h"
#include "script/file_access.h"
#include "script/message.h"

bool EnterProgramFolder() {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return false;
    path[n] = '\0';
    char* slash = std::strrchr(path, '/');
    if (!slash)
        return false;
    *(slash == path ? slash + 1 : slash) = '\0';
    // An installed game keeps its data in ../share/zarnik.
    return chdir(DataFolderFor(path).c_str()) == 0;
}

GameApp::GameApp() {
    archive = std::make_unique<ResourceArchive>();
    if (archive->Open("data.pak"))
        SetResourceProvider(archive.get());
    else
        archive.reset();
    clock = &platform::Ticks;
}

GameApp::~GameApp() {
    // The editor's threads reach the table: they stop first.
    editor.reset();
    // What a failed start or cycle left behind (an orderly run has released
    // it all); a failed run records no score.
    table.SetScores(nullptr, "");
    table.Clear();
    Menus().Reset();
    gameScreen.reset();
    GlobalCursorSet().Clear();
    loading.reset();
    splash.Release();
    window.Destroy();
    if (archive)
        SetResourceProvider(nullptr);
}

int GameApp::Main(const CommandLine& line) {
    developer = line.developer;
    safemode = line.safemode;
    framesToRun = line.frames;
    screenshot = line.screenshot;
    scaleChoice = line.scale;
    replayFile = line.replay;

    std::string why;
    if (!platform::OpenDisplay(&why)) {
        ShowMessageOnStderr(why.c_str());
        return 1;
    }
    platform::InstallMessageBox();
    PlayLogoFilms(safemode);
    if (!Initialise()) {
        ReportMessage("Failed to initiaize !");
        return 1;
    }
    // A recorded game to show instead of the menu.
    if (!replayFile.empty()) {
        std::string error;
        if (!StartPlayback(replayFile.c_str(), &error)) {
            ReportMessage("Can't play the replay: %s", error.c_str());
            return 1;
        }
    }
    if (!Run()) {
        ReportMessage("Error in Game cycle !");
        return 1;
    }
    bool shot = true;
    if (!screenshot.empty() && !display.SaveBackSurface(screenshot.c_str())) {
        ReportMessage("Can't save the screenshot '%s' !", screenshot.c_str());
        shot = false;
    }
    if (!Shutdown())
        ReportMessage("Can't properly shutdown application !");
    return shot ? 0 : 1;
}

bool GameApp::Initialise() {
    // Configuration, then the video settings with the player's last
    // choice of depth and full screen; safe mode keeps a window.
    config.Read(AppConfig::kPath);
    // The options file; a first run writes the defaults for the player to find.
    if (!ReadOptionsFile(GameOptions::kPath, &options))
        WriteOptionsFile(GameOptions::kPath, options);
    ReadVideoKeys(config.Section(SECTION_VIDEO), &video);
    ApplySavedVideo(SavedSettings::kPath, safemode, &video);

    // The window. Alt+F and the other accelerators arrive as key events.
    if (!window.Create(kWindowTitle, video.width, video.height, false)) {
        ReportMessage("Internal Error: can't create main window ?");
        return false;
    }
    // --scale, else the player's choice, else the configuration's.
    const bool sharp = scaleChoice >= 0          ? scaleChoice == 1
                       : options.sharpscale >= 0 ? options.sharpscale == 1
                                                 : video.sharpscale != 0;
    window.SetScaleMode(sharp ? platform::ScaleMode::Sharp : platform::ScaleMode::Smooth);
    // The display on it.
    display.width = video.width;
    display.height = video.height;
    display.bpp = video.bpp;
    display.refresh = video.refresh;
    display.fullscreen = video.fullscreen != 0;
    display.truecolor = video.truecolor != 0;
    if (!display.Initialise(&window)) {
        ReportMessage("Internal Error: can't initialize DirectDraw ?");
        return false;
    }
    // Input and the bindings of "data\input.script".
    if (!keyboard) {
        ReportMessage("Failed to initiaize input !");
        return false;
    }
    input.SetKeyboard(keyboard);
    input.SetGamepad(gamepad);
    input.LoadBindings(InputManager::kInputScript);
    input.FindGameControls();
    table.SetInput(&input);
    Menus().input = &input;

    // Sound; no sound device is no failure.
    if (!GetSoundSystem().Initialise(&window)) {
        ReportMessage("Failed to initiaize sound !");
        return false;
    }

    // Loading picture (shown at once), splash, main menu, cursors.
    ReadStartupKeys(config.Section(SECTION_STARTUP), &startup);
    if (!startup.loading.empty()) {
        loading = std::make_unique<Picture>(startup.loading.c_str(), PICTURE_SURFACE);
        DrawLoading();
        display.Present();
    }
    splash.Create(startup, &display);
    RegisterPhysicsElements();
    RegisterTableElements();
    if (!startup.mainmenu.empty() && !Menus().LoadRoot(startup.mainmenu.c_str()))
        ReportMessage("Error reading main menu data!");
    if (config.Has(SECTION_POINTERS) && !GlobalCursorSet().Read(config.Section(SECTION_POINTERS)))
        ReportMessage("Error reading cursors !");

    // The table list.
    tables.Read(config.Section(SECTION_TABLES));

    // The fonts of "data\fonts.script", then the system font.
    LoadFontList();
    FixedString<256> fontPath = video.systemfont;
    for (char* p = fontPath.data(); *p; ++p)
        *p = LowerAscii(*p);
    if (std::strstr(fontPath.c_str(), ".bmp"))
        systemFont.reset(new GridFont(fontPath.c_str()));
    if (std::strstr(fontPath.c_str(), ".fnt"))
        systemFont.reset(new FntFont(fontPath.c_str()));
    if (!systemFont || !systemFont->picture || !systemFont->picture->HasSurface())
        return false;

    // The game screen of the `menu` section.
    gameScreen = std::make_unique<GameScreen>();
    if (!gameScreen->Read(config.Section(SECTION_MENU)))
        return false;

    // The scores.
    scores.Read(kScoresPath);
    table.SetScores(&scores, kScoresPath);

    // The player's volumes, then the menu.
    RestoreVolumes();
    EnterMenu();
    return true;
}

bool GameApp::Shutdown() {
    bool ok = true;
    // The editor's threads reach the table: they stop first.
    editor.reset();
    // The player's choices, before anything is released.
    ok = SaveSettings() && ok;
    // Fonts.
    ReleaseFontList();
    // Input.
    input.Release();
    Menus().input = nullptr;
    // The game's replay, then the table (which records the score), the
    // menus, the game screen and the system font.
    attract.Stop();
    StopPlayback();
    EndRecordedGame(false);
    table.Clear();
    Menus().Reset();
    GlobalCursorSet().Clear();
    gameScreen.reset();
    systemFont.reset();
    loading.reset();
    splash.Release();
    // Display.
    ok = display.Release() && ok;
    // Sound.
    GetSoundSystem().Release();
    // The pads and the window.
    input.SetGamepad(nullptr);
    sdlGamepads.Close();
    window.Destroy();
    return ok;
}
