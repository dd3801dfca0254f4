// Replays and hot reload in the real game loop, on the generated tables:
// a game played through GameApp is replayed headless by the runner frame for
// frame, and a table file changed under a running game reloads in place.
#include <cmath>
#include <cstring>
#include <vector>

#include "physics/main_ball.h"
#include "table/game_random.h"
#include "tests/app/game_fixture.h"
#include "tools/zarnik-sim/sim_runner.h"

namespace {

namespace fs = std::filesystem;

// Score, then every ball's position and speed, exactly.
std::vector<float> TraceOf(const Table& table) {
    std::vector<float> t{float(table.score), float(table.currentBallNumber)};
    for (int i = 0; i < table.ElementCount(); ++i) {
        if (const MainBall* b = dynamic_cast<const MainBall*>(table.Element(i))) {
            t.insert(t.end(), {b->position.x, b->position.y, b->velocity.x, b->velocity.y});
        }
    }
    return t;
}

// The generated game in a folder of its own: its data linked in, so what the
// game writes (settings, scores, replays) stays in the scratch folder; the
// tables folder is a copy the test may change.
class ReplayGame : public GameTest {
protected:
    void SetUp() override {
        const fs::path data = fs::path(ZARNIK_BINARY_DIR) / "data";
        fs::create_directories(dir.File("data/tables"));
        for (const fs::directory_entry& e : fs::directory_iterator(data)) {
            if (e.path().filename() != "tables")
                fs::create_directory_symlink(e.path(),
                                             dir.File("data") + "/" + e.path().filename().string());
        }
        for (const fs::directory_entry& e : fs::directory_iterator(data / "tables")) {
            const std::string to = dir.File("data/tables/" + e.path().filename().string());
            if (e.is_directory())
                fs::create_directory_symlink(e.path(), to);
            else
                fs::copy_file(e.path(), to);
        }
        fs::current_path(dir.Path());
        fakeNow = 1000;
    }
    // Out of the menu into a game on the first table.
    void Play(bool developer = false) {
        Start(false, developer);
        app->LeaveMenu();
        Frames(1);  // the table loads
        ASSERT_TRUE(app->table.loaded);
    }
    void Hold(int control, bool down) { keys.Set(app->input.bindings[control].devicecode, down); }
    MainBall& FirstBall() { return *dynamic_cast<MainBall*>(app->table.Ball(0)->Object()); }
};

TEST_F(ReplayGame, AGamePlayedInTheLoopReplaysHeadlessBitForBit) {
    Play();
    const GameControls& c = app->input.controls;
    std::vector<std::vector<float>> played;
    // Uneven frame times, a launch, flips on both sides and a nudge.
    const int kFrames = 2400;
    for (int f = 0; f < kFrames; ++f) {
        Hold(c.spring, f >= 250 && f < 330);
        Hold(c.leftHandle, (f / 23) % 4 == 1);
        Hold(c.rightHandle, (f / 31) % 3 == 2 || (f > 600 && f < 640));
        Hold(c.tilt, f == 900);
        Frames(1, 8 + (f * 7) % 13);
        ASSERT_TRUE(app->recorder.Recording());
        played.push_back(TraceOf(app->table));
    }
    EXPECT_EQ(app->recorder.replay().frames, kFrames);
    const std::int32_t score = app->table.score;
    app->EndRecordedGame(true);

    app->Shutdown();
    app.reset();

    SimOptions options;
    options.replayFile = "data\\replays\\last.replay";
    SimRunner sim;
    std::string error;
    ASSERT_TRUE(sim.Start(options, &error)) << error;
    ASSERT_EQ(sim.replay().frames, kFrames);
    int moved = 0;
    for (int f = 0; f < kFrames; ++f) {
        sim.StepFrame();
        const std::vector<float> replayed = TraceOf(sim.table());
        ASSERT_TRUE(
            replayed.size() == played[f].size() &&
            !std::memcmp(replayed.data(), played[f].data(), replayed.size() * sizeof(float)))
            << "frame " << f;
        moved += f > 0 && played[f] != played[f - 1];
    }
    EXPECT_EQ(sim.table().score, score);
    // The game did something worth replaying.
    EXPECT_GT(moved, kFrames / 2);
}

TEST_F(ReplayGame, ADevelopersTableReloadsOnAChangeKeepingScoreAndBalls) {
    Play(true);
    const GameControls& c = app->input.controls;
    // Launched and in the air.
    for (int f = 0; f < 330; ++f) {
        Hold(c.spring, f >= 250);
        Frames(1);
    }
    Hold(c.spring, false);
    Frames(40);
    app->table.score = 12340;
    app->table.currentBallNumber = 2;
    const Vec2 at = FirstBall().position, speed = FirstBall().velocity;
    ASSERT_GT(std::hypot(speed.x, speed.y), 0.05f);
    const std::vector<float> before = TraceOf(app->table);
    const int balls = app->table.ballsInPlay;

    // The author changes a key.
    std::string text = ReadFile("data/tables/t0000.script");
    const std::size_t key = text.find("ball_count = 3;");
    ASSERT_NE(key, std::string::npos);
    text.replace(key, 15, "ball_count = 7;");
    WriteFile("data/tables/t0000.script", text);
    Frames(1);
    EXPECT_EQ(app->table.ball_count, 7);
    EXPECT_EQ(app->table.ballsInPlay, balls);
    // Score, ball number and every ball's place and speed kept (the reload's
    // frame ends the new table's light show and steps no ball); it goes on from there.
    EXPECT_EQ(TraceOf(app->table), before);
    Frames(1);
    const Vec2 now = FirstBall().position;
    EXPECT_LT(std::hypot(now.x - at.x, now.y - at.y), std::hypot(speed.x, speed.y) * 0.02f);
    // The replay can't follow a changed table: its recording ended there.
    EXPECT_FALSE(app->recorder.Recording());

    // A script that fails keeps the table and says why on the screen.
    WriteFile("data/tables/t0000.script", "TableSettings { ball_count = 2; \n MainBall {");
    Frames(1);
    EXPECT_EQ(app->table.ball_count, 7);
    EXPECT_EQ(app->table.score, 12340);
    EXPECT_NE(app->notice.find("The table stays as it was"), std::string::npos) << app->notice;
}

TEST_F(ReplayGame, AGameLeftBeforeItScoredKeepsTheLastReplay) {
    Play();
    Frames(50);
    app->table.score = 10;
    ASSERT_TRUE(app->StartGame());  // a new game: the last one is kept
    const std::string first = ReadFile("data/replays/last.replay");
    EXPECT_NE(first.find("frames 50"), std::string::npos) << first.substr(0, 200);
    Frames(20);
    ASSERT_TRUE(app->StartGame());  // nothing scored: not kept over the last
    EXPECT_EQ(ReadFile("data/replays/last.replay"), first);
    std::string saved;
    ASSERT_TRUE(app->SaveReplayAs(&saved));
    EXPECT_EQ(saved.rfind("data\\replays\\replay-", 0), 0u) << saved;
}

TEST_F(ReplayGame, TheLastBallLostWritesTheGameAtOnce) {
    Play();
    app->table.currentBallNumber = app->table.ball_count;  // the last ball
    const GameControls& c = app->input.controls;
    int f = 0;
    for (; f < 6000 && !fs::exists("data/replays/last.replay"); ++f) {
        Hold(c.spring, f >= 250 && f < 330);
        Frames(1);
    }
    ASSERT_TRUE(fs::exists("data/replays/last.replay")) << "no game over in 6000 frames";
    EXPECT_FALSE(app->gameUnwritten);
    Replay r;
    std::string error;
    ASSERT_TRUE(ReadReplayFile("data\\replays\\last.replay", &r, &error)) << error;
    EXPECT_EQ(r.frames, f);
}

// A short recorded game: the launch of the first ball, 10 ms frames.
const char* kShortGame =
    "version 1\n"
    "table data\\tables\\t0000.script\n"
    "seed 77\n"
    "welcome 0\n"
    "frames 400\n"
    "time 0 10*400\n"
    "250 SPRING down\n"
    "330 SPRING up\n";

TEST_F(ReplayGame, TheUntouchedMenuPlaysRecordedGamesAndAKeyStopsThem) {
    WriteFile("data/replays/last.replay", kShortGame);
    WriteFile("data/replays/broken.replay", "version 1\nframes 2000000000\n");
    WriteFile("data/options.script", "options { attract_seconds = 2; };;\r\n");
    Start();
    EXPECT_EQ(app->options.attract_seconds, 2);
    const GameRandomState player = GetGameRandomState();
    Frames(19, 100);
    EXPECT_FALSE(app->attract.Running());
    Frames(2, 100);
    ASSERT_TRUE(app->attract.Running());
    EXPECT_EQ(app->attract.Playing(), "data\\replays\\last.replay");
    // The show draws from random numbers of its own.
    EXPECT_EQ(GetGameRandomState().next, player.next);
    Event(platform::WindowEventType::KeyDown, 'x');
    EXPECT_FALSE(app->attract.Running());
    EXPECT_TRUE(app->menuMode);
    // The wait starts over.
    Frames(19, 100);
    EXPECT_FALSE(app->attract.Running());
}

TEST_F(ReplayGame, AReplayOnScreenPlaysAtItsRecordedSpeedAndScoresNothing) {
    WriteFile("data/replays/mine.replay", kShortGame);
    Start();
    std::string error;
    EXPECT_FALSE(app->StartPlayback("data\\replays\\none.replay", &error));
    EXPECT_NE(error.find("can't read"), std::string::npos) << error;
    std::string other = kShortGame;
    other.replace(other.find("t0000"), 5, "t0009");
    WriteFile("data/replays/gone.replay", other);
    EXPECT_FALSE(app->StartPlayback("data\\replays\\gone.replay", &error));
    EXPECT_EQ(error, "the replay's table 'data\\tables\\t0009.script' is not there");
    WriteFile("data/tables/t0009.script", "// nothing here\r\n");
    EXPECT_FALSE(app->StartPlayback("data\\replays\\gone.replay", &error));
    EXPECT_EQ(error, "the replay's table 'data\\tables\\t0009.script' does not load");
    EXPECT_TRUE(app->menuMode);
    ASSERT_TRUE(app->StartPlayback("data\\replays\\mine.replay", &error)) << error;
    EXPECT_FALSE(app->menuMode);
    Frames(1, 50);
    const int first = app->playback.Frame();
    EXPECT_GE(first, 5);
    Frames(1, 35);  // 3.5 frames due: 3 played, the half kept
    EXPECT_EQ(app->playback.Frame(), first + 3);
    Frames(1, 15);
    EXPECT_EQ(app->playback.Frame(), first + 5);
    // A stall is not caught up at once.
    Frames(1, 100);
    EXPECT_EQ(app->playback.Frame(), first + 5 + ReplayPlayback::kMaxStepsPerFrame);
    while (!app->playback.Finished())
        Frames(1, 100);
    EXPECT_EQ(app->playback.Frame(), 400);
    EXPECT_FALSE(app->recorder.Recording());
    // Back to the menu: the shown game is gone and left no last game.
    app->EnterMenu();
    EXPECT_FALSE(app->playback.Active());
    EXPECT_FALSE(fs::exists("data/replays/last.replay"));
}

}  // namespace
