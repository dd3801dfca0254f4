// The game cycle: the loop, one frame, and the switches between menu and game.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "app/game_app.h"
#include "audio/cd_player.h"
#include "audio/sound_system.h"
#include "menu/game_screen.h"
#include "menu/menu_wrapper.h"
#include "platform/keyboard.h"
#include "render/cursor.h"
#include "render/font.h"
#include "render/picture.h"

namespace {

// How long the loop sleeps at most between events while minimised.
constexpr int kMinimisedWaitMs = 250;

// The table's opaque pictures considered when clearing round it.
constexpr int kMaxCovers = 16;

// Fills r black except where one of covers[first..n) lies: the table paints
// those whole over whatever is there.
void FillUncovered(platform::Surface* surface, PixelArea r, const PixelArea* covers, int first,
                   int n) {
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    for (int k = first; k < n; ++k) {
        const PixelArea& c = covers[k];
        if (c.right <= r.left || c.left >= r.right || c.bottom <= r.top || c.top >= r.bottom)
            continue;
        // What r keeps outside c: the bands above and below it, and the
        // pieces left and right of it between them.
        const int top = std::max(r.top, c.top), bottom = std::min(r.bottom, c.bottom);
        FillUncovered(surface, {r.left, r.top, r.right, top}, covers, k + 1, n);
        FillUncovered(surface, {r.left, bottom, r.right, r.bottom}, covers, k + 1, n);
        FillUncovered(surface, {r.left, top, std::max(r.left, c.left), bottom}, covers, k + 1, n);
        FillUncovered(surface, {std::min(r.right, c.right), top, r.right, bottom}, covers, k + 1,
                      n);
        return;
    }
    surface->FillRect({r.left, r.top, r.right, r.bottom}, 0);
}

const char* FileNameOf(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '\\' || *p == '/')
            name = p + 1;
    }
    return name;
}

}  // namespace

bool GameApp::Run() {
    while (!quit) {
        platform::WindowEvent e;
        // Nothing is seen while minimised: sleep until the window reports.
        const bool got = minimised ? window.WaitEvent(&e, kMinimisedWaitMs) : window.PollEvent(&e);
        if (got) {
            HandleWindowEvent(e);
            continue;
        }
        if (minimised)
            continue;
        if (!Frame())
            return false;
        ++framesRun;
        if (framesToRun > 0 && framesRun >= framesToRun)
            quit = true;
    }
    return true;
}

bool GameApp::Frame() {
    // While the editor exists the frame holds its table lock up to the end
    // of the drawing: the editor changes elements only between frames.
    EditorBetweenFrames();
    std::unique_lock<std::recursive_mutex> frameLock = LockTableForFrame();

    // Frame time, at most 100 ms.
    frameClock.Tick(clock());
    const float dt = frameClock.Seconds();
    const auto updateStart = std::chrono::steady_clock::now();

    // Controls; the menu key switches modes at most four times a second.
    input.Poll();
    // A name entered by keys takes Escape for itself.
    const bool exitDown =
        input.Pressed(input.controls.exit) != 0 && !(menuMode && Menus().navigator.HoldsMenuKey());
    if (exitRepeat.Switches(exitDown, frameClock.now)) {
        if (menuMode)
            LeaveMenu();
        else
            EnterMenu();
    }

    // Music keeps its own time.
    GetCdPlayer().Tick(dt);

    // The pointer (kept from the window's events) in table units.
    NormalisePointer(mouseX, mouseY, table.screenRect, &mouseNX, &mouseNY);

    // Game or menus.
    if (!menuMode) {
        GameStep(dt);
        gameScreen->Update(dt, GameScreenValuesOf(table));
    } else {
        MenuStep(dt);
        // Left untouched, the menu plays recorded games behind it.
        if (menuMode)
            attract.Frame(frameClock.frameTime, options.attract_seconds);
    }

    // A new display mode, chosen in the menu or with Alt+F.
    if (videoChanged) {
        videoChanged = false;
        if (!display.ReCreate())
            return false;
        DrawLoading();
    }

    // Drawing.
    const auto drawStart = std::chrono::steady_clock::now();
    Picture* back = display.BackPicture();
    if (!menuMode) {
        if (tableReload) {
            if (loading) {
                DrawLoading();
                display.Present();
            }
            tableReload = false;
            if (!StartGame())
                return false;
            TableLoadedForEditor();
        }
        // The table covers its screen rectangle; the side panel around it
        // starts black so the game screen's texts leave no trails. What the
        // table's opaque pictures paint anyway (the panel) is left alone.
        const ScreenRect& r = table.screenRect;
        platform::Surface* surface = display.BackSurface();
        const int w = display.width, h = display.height;
        PixelArea covers[kMaxCovers];
        const int n = table.CoveredAreas(covers, kMaxCovers);
        FillUncovered(surface, {0, 0, w, r.top}, covers, 0, n);
        FillUncovered(surface, {0, r.bottom, w, h}, covers, 0, n);
        FillUncovered(surface, {0, r.top, r.left, r.bottom}, covers, 0, n);
        FillUncovered(surface, {r.right, r.top, w, r.bottom}, covers, 0, n);
        table.Draw(back);
        gameScreen->Draw(back);
    } else {
        if (attract.Running())
            attract.Draw(back);
        else
            DrawLoading();
        if (Menus().root)
            Menus().root->Draw(back, 0, 0);
        MenuWrapper* scoresTable = Menus().Find("SCORES_TABLE");
        if (scoresTable && scoresTable->IsShown()) {
            DrawScoresTable(back, kScoresTableX, kScoresTableY, systemFont.get(), scores, tables);
        }
        // The pointer goes over everything.
        GlobalCursorSet().Draw(back);
    }

    leftSeen = true;
    if (leftReleasePending) {
        leftButton = false;
        leftReleasePending = false;
    }

    // Frames per second and the developer's texts.
    fps = FramesPerSecond(frameClock.frameTime);
    if (overlay)
        DrawOverlay();
    DrawEditorView(frameLock);
    DrawNotice();

    // Present.
    const auto presentStart = std::chrono::steady_clock::now();
    const bool presented = display.Present();
    const auto end = std::chrono::steady_clock::now();
    using Ms = std::chrono::duration<double, std::milli>;
    frameTiming.Add(Ms(drawStart - updateStart).count(), Ms(presentStart - drawStart).count(),
                    Ms(end - presentStart).count());
    return presented;
}

void GameApp::DrawLoading() {
    if (loading && loading->HasSurface())
        loading->Draw(display.BackPicture(), 0, 0);
    else if (display.BackSurface()->IsValid())
        display.BackSurface()->Fill(0);
}

void GameApp::DrawOverlay() {
    if (!systemFont)
        return;
    Picture* back = display.BackPicture();
    const int h = systemFont->Height();
    char text[300];
    std::snprintf(text, sizeof text, "FPS:%.2f", double(fps));
    systemFont->DrawText(back, 1, 1, text, 0);
    std::snprintf(text, sizeof text, "T: %s", FileNameOf(tablePath.c_str()));
    systemFont->DrawText(back, 1, h + 1, text, 0);
    std::snprintf(text, sizeof text, "MOUSE: %.4f,%.4f (%d %d)", double(mouseNX), double(mouseNY),
                  mouseX, mouseY);
    systemFont->DrawText(back, 1, 2 * h + 1, text, 0);
    std::snprintf(text, sizeof text, "ball count %d", table.ballsInPlay);
    systemFont->DrawText(back, 1, 3 * h + 1, text, 0);
    frameTiming.Format(text, sizeof text);
    systemFont->DrawText(back, 1, 4 * h + 1, text, 0);
}

void GameApp::EnterMenu() {
    // A recorded game on show ends with it.
    StopPlayback();
    GetCdPlayer().PlayTrack(2, true);
    // Taps made in the game are not the menu's keys.
    platform::ForgetKeyPresses();
    menuMode = true;
    Menus().navigator.Reset();
    if (Menus().root)
        Menus().root->Activate();
    PublishPreferences();
    GlobalCursorSet().Select("ACTM");
    GlobalCursorSet().visible = true;
}

void GameApp::LeaveMenu() {
    attract.Touch();
    menuMode = false;
    GlobalCursorSet().visible = false;
    if (Menus().root)
        Menus().root->Deactivate();
    TakeVideoPreferences();
    TakeControlKeys();
    TakePlayerName();
    if (tables.Count() > 0)
        tablePath = tables.Path(tables.current);
    // Nothing to resume before the first game: leaving the menu starts one.
    if (!table.loaded)
        tableReload = true;
    GetCdPlayer().PlayTrack(tables.current + 3, true);
}

void GameApp::MenuStep(float dt) {
    MenuSystem& menus = Menus();
    menus.pointerX = mouseX;
    menus.pointerY = mouseY;
    menus.leftButton = leftButton;
    // Keys and pads may drive instead: the pointer then stands at the highlight.
    if (menus.navigator.Frame(menus, ReadMenuKeys(&input)))
        attract.Touch();
    GlobalCursorSet().visible = !menus.navigator.Driving();
    if (menus.root)
        menus.root->Update(dt);
    GlobalCursorSet().Update(dt, mouseX, mouseY);
    if (MenuWrapper* clicked = menus.TakeLastClicked())
        CarryOutAction(clicked);
}

void GameApp::CarryOutAction(MenuWrapper* control) {
    switch (control->action) {
        case ACTION_START:
            LeaveMenu();
            tableReload = true;
            break;
        case ACTION_EXIT:
            quit = true;
            break;
        case ACTION_DEACTIVATEMENU: {
            // Back one level: the submenu the control sits in closes with
            // the button that opened it. Closing the whole menu resumes the game.
            MenuWrapper* level = control->parent;
            if (level && level->parent)
                level = level->parent;
            if (level)
                level->Deactivate();
            if (!level || level == Menus().root.get())
                LeaveMenu();
            break;
        }
        case ACTION_FULLSCREEN:
        case ACTION_TRUECOLOR:
            TakeVideoPreferences();
            break;
        case ACTION_AUDIOVOLUME:
            if (const float* v = control->FloatValue()) {
                audioVolume = *v < 0.0f ? 0.0f : *v > 1.0f ? 1.0f : *v;
                if (GetSoundSystem().HasDevice())
                    GetSoundSystem().SetAudioVolume(audioVolume);
            }
            break;
        case ACTION_NEXTGAME:
        case ACTION_PREVGAME: {
            const bool forward = control->action == ACTION_NEXTGAME;
            // With no tables there is nothing to turn to.
            if (tables.Count() > 0 &&
                Menus().PlayByName("GAMESELECTOR", tables.SelectorFrames(forward), forward)) {
                tables.Step(forward);
                tableReload = true;
            }
            control->Deactivate();
            break;
        }
        default:
            if (control->name == "CDVOLUME") {
                if (const float* v = control->FloatValue())
                    GetCdPlayer().SetVolume(*v);
            } else if (control->name == "SHARPSCALE") {
                TakeScalePreference();
            } else if (control->name == "SAVEREPLAY") {
                std::string saved;
                ShowNotice(SaveReplayAs(&saved) ? "Replay saved as " + saved
                                                : std::string("No game to save yet"),
                           3000);
            }
            break;
    }
}
