// Replays in the game: every game is recorded where the game polls its
// controls and kept as the last game; a recorded game can be shown in place
// of the player's; attract mode plays them behind the menu.
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "app/game_app.h"
#include "menu/game_screen.h"
#include "physics/main_ball.h"
#include "platform/file_store.h"
#include "render/font.h"
#include "render/picture.h"
#include "script/file_access.h"
#include "table/game_random.h"

namespace {

constexpr std::int32_t kNoticeMs = 3000;

// The player's ball is out of balls: the game is over, whether or not the
// table has a game-over message.
bool GameIsOver(const Table& table) {
    for (int i = 0; i < table.BallCount(); ++i) {
        const MainBall* b = dynamic_cast<const MainBall*>(table.Ball(i)->Object());
        if (b != nullptr && !b->generated && b->state == BALL_OUT_OF_BALLS)
            return true;
    }
    return false;
}

bool WriteReplayText(const char* path, const std::string& text) {
    const std::string target = ResolveLoosePath(path);
    const std::size_t slash = target.find_last_of('/');
    if (slash != std::string::npos && !platform::MakeFolders(target.substr(0, slash)))
        return false;
    return platform::WriteFileAtomically(target, text.data(), text.size());
}

// "data\replays\replay-20260314-153000.replay", with "-2", "-3"... when
// that name is taken.
std::string NewReplayName() {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = std::string(GameApp::kReplayFolder) + "\\replay-" + stamp;
    std::string name = base + ".replay";
    for (int n = 2; n < 1000 && DataFileExists(name.c_str()); ++n)
        name = base + "-" + std::to_string(n) + ".replay";
    return name;
}

}  // namespace

bool GameApp::StartGame() {
    StopPlayback();
    EndRecordedGame(false);
    // Every game has a seed of its own, kept with its recording: the clock,
    // and how many games came before (two games may start in one millisecond).
    std::uint32_t seed = clock() * 2654435761u + ++gamesStarted * 40503u;
    if (nextGameSeed != 0)
        seed = std::exchange(nextGameSeed, 0u);
    SeedGameRandom(seed);
    const bool welcome = table.welcomePending;
    if (!table.Load(tablePath.c_str(), playerName.c_str(), splash.Exists() ? &splash : nullptr))
        return false;
    recorder.Begin(table.tablePath.view(), seed, welcome);
    gameUnwritten = true;
    if (developer)
        WatchTableFile();
    return true;
}

void GameApp::GameStep(float dt) {
    if (playback.Active()) {
        if (!playback.Finished()) {
            playback.Advance(frameClock.frameTime, gameScreen.get());
            if (playback.Finished())
                ShowNotice("End of the replay: Esc for the menu", kNoticeMs);
        }
        return;
    }
    if (developer)
        FollowTableFile();
    // The editor changes the table from its own thread between frames: a
    // replay can't follow that, so the recording ends where an editor opens.
    if (editor)
        recorder.Stop();
    // The controls as the table is about to read them, with the frame's time.
    const bool down[REPLAY_CONTROL_COUNT] = {table.LeftHandlePressed(), table.RightHandlePressed(),
                                             table.SpringPressed(), table.TiltPressed()};
    recorder.Frame(frameClock.frameTime, down);
    table.Update(gameScreen.get(), dt);
    if (gameUnwritten && GameIsOver(table))
        EndRecordedGame(true);
}

void GameApp::EndRecordedGame(bool over) {
    if (!gameUnwritten)
        return;
    gameUnwritten = false;
    recorder.Stop();
    // A game left before it scored is not kept over the last one.
    const Replay& r = recorder.replay();
    if (r.frames == 0 || (!over && table.score == 0))
        return;
    if (!WriteReplayText(kLastReplay, FormatReplay(r)))
        ShowNotice(std::string("Can't save the replay '") + kLastReplay + "' !", kNoticeMs);
}

bool GameApp::SaveReplayAs(std::string* savedPath) {
    std::string text;
    if (gameUnwritten && recorder.replay().frames > 0) {
        text = FormatReplay(recorder.replay());
    } else {
        std::vector<std::uint8_t> bytes;
        if (!ReadLooseFile(kLastReplay, &bytes) || bytes.empty())
            return false;
        text.assign(bytes.begin(), bytes.end());
    }
    const std::string name = NewReplayName();
    if (!WriteReplayText(name.c_str(), text))
        return false;
    *savedPath = name;
    return true;
}

bool GameApp::StartPlayback(const char* path, std::string* error) {
    Replay replay;
    if (!ReadReplayFile(path, &replay, error))
        return false;
    StopPlayback();
    // The player's game ends here as any game does (its score counts); the
    // shown game records none.
    EndRecordedGame(false);
    table.Clear();
    table.SetScores(nullptr, "");
    if (!playback.Start(&table, std::move(replay), splash.Exists() ? &splash : nullptr, error)) {
        table.SetInput(&input);
        table.SetScores(&scores, kScoresPath);
        return false;
    }
    if (menuMode)
        LeaveMenu();
    ShowNotice(std::string("Replay ") + path, kNoticeMs);
    return true;
}

void GameApp::StopPlayback() {
    if (!playback.Active())
        return;
    playback.Stop();
    table.Clear();
    table.SetInput(&input);
    table.SetScores(&scores, kScoresPath);
}

void GameApp::ShowNotice(const std::string& text, std::int32_t ms) {
    notice = text;
    noticeMs = ms;
}

void GameApp::DrawNotice() {
    if (noticeMs <= 0 || !systemFont)
        return;
    noticeMs -= frameClock.frameTime > 0 ? frameClock.frameTime : 1;
    // Line by line from the bottom of the screen up; a long message shows its first lines.
    std::vector<std::string> lines;
    for (std::size_t start = 0; start <= notice.size() && lines.size() < 4;) {
        std::size_t end = notice.find('\n', start);
        if (end == std::string::npos)
            end = notice.size();
        lines.push_back(notice.substr(start, end - start));
        start = end + 1;
    }
    const int h = systemFont->Height();
    int y = display.height - 4 - h * int(lines.size());
    for (const std::string& line : lines) {
        systemFont->DrawText(display.BackPicture(), 4, y, line.c_str(), 0);
        y += h;
    }
}
