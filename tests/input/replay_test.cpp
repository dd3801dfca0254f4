#include "input/replay.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/keyboard.h"

namespace {

const char* kHeader =
    "version 1\n"
    "table data\\tables\\t0000.script\n"
    "seed 4294967295\n"
    "welcome 0\n";

Replay Parsed(const std::string& text) {
    Replay r;
    std::string error;
    EXPECT_TRUE(ParseReplay(text, &r, &error)) << error;
    return r;
}

std::string Error(const std::string& text) {
    Replay r;
    std::string error;
    EXPECT_FALSE(ParseReplay(text, &r, &error)) << text;
    // Nothing half-read is left behind.
    EXPECT_EQ(r.frames, 0);
    EXPECT_TRUE(r.events.empty());
    return error;
}

TEST(ReplayText, RunsOfFrameTimesAndEventsRoundTrip) {
    const Replay r = Parsed(std::string(kHeader) +
                            "frames 7\n"
                            "time 0 16*3 17\n"
                            "time 4 0 100 16\n"
                            "6 tilt down\n"  // names are case-blind, events sorted by frame
                            "0 SPRING down\n"
                            "0 LEFTHANDLE down\n");
    EXPECT_EQ(r.seed, 4294967295u);
    EXPECT_FALSE(r.welcome);
    EXPECT_EQ(r.frames, 7);
    const int expected[] = {16, 16, 16, 17, 0, 100, 16};
    for (int f = 0; f < 7; ++f)
        EXPECT_EQ(r.FrameTime(f), expected[f]) << f;
    EXPECT_EQ(r.TotalMs(), 16 * 3 + 17 + 100 + 16);
    ASSERT_EQ(r.events.size(), 3u);
    EXPECT_EQ(r.events[0].control, REPLAY_SPRING);
    EXPECT_EQ(r.events[1].control, REPLAY_LEFTHANDLE);
    EXPECT_EQ(r.events[2].frame, 6);
    EXPECT_EQ(r.events[2].control, REPLAY_TILT);

    // Written and read again, the same game.
    EXPECT_EQ(FormatReplay(Parsed(FormatReplay(r))), FormatReplay(r));
}

TEST(ReplayText, LongGamesWriteShortLines) {
    ReplayRecorder rec;
    rec.Begin("data\\tables\\t0001.script", 7, true);
    bool down[REPLAY_CONTROL_COUNT] = {};
    for (int f = 0; f < 18000; ++f) {  // three minutes at 100 frames a second
        down[REPLAY_LEFTHANDLE] = (f / 50) % 3 == 0;
        rec.Frame(f % 97 == 0 ? 11 : 10, down);
    }
    const std::string text = FormatReplay(rec.replay());
    // Read back, so no line is over the reader's limit.
    EXPECT_EQ(Parsed(text).TotalMs(), rec.replay().TotalMs());
    // Runs keep a steady game small: well under 20 kB for three minutes.
    EXPECT_LT(text.size(), 20000u) << text.size();
}

TEST(ReplayText, BadOrHostileFilesFailWithTheirLine) {
    const std::string h = kHeader, t3 = h + "frames 3\ntime 0 16*3\n";
    const std::pair<std::string, std::string> cases[] = {
        {"table a\n", "line 1: a replay starts with 'version N'"},
        {"version 2\n", "line 1: a replay of another version"},
        {h, "a replay needs version, table, seed and frames"},
        // Times short of the frames, past them, with a gap, or out of range.
        {h + "frames 3\ntime 0 16\n", "the times cover 1 of 3 frames"},
        {h + "frames 3\ntime 0 16*4\n", "line 6: more frame times than frames"},
        {h + "frames 3\ntime 0 16\ntime 2 16\n",
         "line 7: a time line starts at the first frame not yet timed"},
        {h + "frames 1\ntime 0 101\n", "line 6: a frame time is 0 to 100 ms"},
        {h + "frames 1\ntime 0 -1\n", "line 6: a frame time is 0 to 100 ms"},
        // Counts of two billion: refused before anything is made of them.
        {h + "frames 2000000000\n", "line 5: frames is given once, from 0 to 10000000"},
        {h + "frames 3\ntime 0 16*2000000000\n", "line 6: a run of frames is 1 to 10000000 long"},
        {h + "frames 3\ntime 0 16*99999999999999999999\n",
         "line 6: a run of frames is 1 to 10000000 long"},
        {t3 + "3 SPRING down\n", "line 7: a control change after the last frame"},
        {t3 + "1 EXIT down\n",
         "line 7: a replay drives LEFTHANDLE, RIGHTHANDLE, SPRING and TILT only"},
        {t3 + "1 SPRING sideways\n", "line 7: expected 'frame control down|up'"},
        {"version 1\nseed 4294967296\n", "line 2: the seed is a number from 0 to 4294967295"},
        {"version 1\n" + std::string(5000, 'x') + "\n", "line 2: line too long"},
    };
    for (const auto& [text, error] : cases)
        EXPECT_EQ(Error(text), error);
    EXPECT_NE(Error(std::string(Replay::kMaxBytes + 1, '\n')).find("larger"), std::string::npos);
}

TEST(ReplayText, TablesOutsideTheGameFolderAreRefused) {
    EXPECT_TRUE(ReplayTablePathAllowed("data\\tables\\t0000.script"));
    EXPECT_TRUE(ReplayTablePathAllowed("data/my..table.script"));
    for (const char* bad : {"", "/etc/passwd", "\\share\\t.script", "data\\..\\..\\x.script",
                            "../x.script", "data/..", "c:\\t.script", "data\\t\x01.script"}) {
        EXPECT_FALSE(ReplayTablePathAllowed(bad)) << bad;
        EXPECT_NE(Error(std::string("version 1\ntable ") + bad + "\n").find("relative path"),
                  std::string::npos)
            << bad;
    }
    EXPECT_FALSE(ReplayTablePathAllowed(std::string(260, 'a')));
    // A game on such a table is played unrecorded.
    ReplayRecorder rec;
    rec.Begin("/tmp/t.script", 1, false);
    EXPECT_FALSE(rec.Recording());
}

TEST(ReplayRecorder, RecordsChangesOnlyAndClampsFrameTimes) {
    ReplayRecorder rec;
    rec.Begin("t.script", 5, true);
    bool down[REPLAY_CONTROL_COUNT] = {};
    rec.Frame(16, down);
    down[REPLAY_SPRING] = true;
    rec.Frame(250, down);  // a stall: the game itself steps at most 100 ms
    rec.Frame(-3, down);
    down[REPLAY_SPRING] = false;
    down[REPLAY_TILT] = true;
    rec.Frame(16, down);
    rec.Stop();
    rec.Frame(16, down);  // after the end: not recorded
    const std::string text = FormatReplay(rec.replay());
    EXPECT_EQ(text.substr(text.find("version")),
              "version 1\ntable t.script\nseed 5\nwelcome 1\nframes 4\ntime 0 16 100 0 16\n"
              "1 SPRING down\n3 SPRING up\n3 TILT down\n");
}

TEST(ReplayFeeder, PutsEachFramesChangesOnTheKeysBeforeIt) {
    const Replay r = Parsed(std::string(kHeader) +
                            "frames 4\n"
                            "time 0 10 20 30 40\n"
                            "1 SPRING down\n"
                            "1 LEFTHANDLE down\n"
                            "3 SPRING up\n");
    InputManager input;
    BindReplayControls(&input);
    platform::ManualKeyboard keys;
    input.SetKeyboard(&keys);
    ReplayFeeder feeder(&r);
    std::vector<int> times;
    std::vector<bool> spring, left;
    for (std::int32_t ms = 0; feeder.Next(input, &keys, &ms);) {
        input.Poll();
        times.push_back(ms);
        spring.push_back(input.Pressed(input.controls.spring) != 0);
        left.push_back(input.Pressed(input.controls.leftHandle) != 0);
    }
    EXPECT_TRUE(feeder.Done());
    EXPECT_EQ(times, (std::vector<int>{10, 20, 30, 40}));
    EXPECT_EQ(spring, (std::vector<bool>{false, true, true, false}));
    EXPECT_EQ(left, (std::vector<bool>{false, true, true, true}));
}

}  // namespace
