#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "physics/main_ball.h"
#include "tests/test_files.h"
#include "tools/zarnik-sim/sim_runner.h"

namespace {

// A box with a plunger lane on the right and a flipper at the bottom left.
const char* kTable =
    "TableSettings { ball_count = 2; };;\r\n"
    "MainBall { startup_position_x = 0.93; startup_position_y = 0.85; radius = 0.02; };;\r\n"
    "CollisionForm { k_bounce = 0.3; k_slide = 0.9; Line { toX = 0.04; toY = 0.80; };; "
    "Line { toX = 0.04; toY = 0.02; };; Line { toX = 0.85; toY = 0.02; };; "
    "Line { toX = 0.97; toY = 0.12; };; Line { toX = 0.97; toY = 0.95; };; };;\r\n"
    "CollisionForm { k_bounce = 0.3; k_slide = 0.9; Line { toX = 0.9; toY = 0.95; };; "
    "Line { toX = 0.9; toY = 0.25; };; };;\r\n"
    "CollisionForm { atX = 0.30; atY = 0.90; f_type = \"CLOSED\"; Line { toX = 0.44; toY = "
    "0.95; };; Line { toX = 0.30; toY = 0.89; };; Line { toX = 0.30; toY = 0.91; };; };;\r\n"
    "CollisionForm { c_type = \"COLLISION_SLIDE\"; k_slide = 0.5; Line { toX = 0.9; toY = 0.88; "
    "};; Line { toX = 0.97; toY = 0.88; };; };;\r\n"
    "Handle { control = 2; form = 3; maxangle = 0.6; };;\r\n"
    "Spring { control = 3; form = 4; fspeed = 2.0; bspeed = 20.0; maxangle = 0.03; kmax = 1.0; "
    "};;\r\n";

class Sim : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(dir.File("table.script"), kTable);
        WriteFile(dir.File("play.txt"),
                  "# launch, then flip\n250 SPRING down\n310 SPRING up\n578 LEFTHANDLE down\n");
    }
    std::string Run(const std::string& args, int* code) {
        std::string out;
        *code = RunCommand(
            std::string(ZARNIK_BINARY_DIR) + "/tools/zarnik-sim/zarnik-sim " + args + " 2>&1",
            &out);
        return out;
    }
    ScratchDir dir{"sim_test"};
};

TEST_F(Sim, RecordedControlsReachTheTableAfterItsLightShow) {
    SimOptions options;
    options.table = dir.File("table.script");
    options.inputFile = dir.File("play.txt");
    SimRunner sim;
    std::string error;
    ASSERT_TRUE(sim.Start(options, &error)) << error;
    auto& ball = *static_cast<MainBall*>(sim.table().Ball(0));
    for (int f = 0; f < 200; ++f)
        sim.StepFrame();
    EXPECT_FLOAT_EQ(ball.position.y, 0.85f) << "nothing moves during the light show";
    for (int f = 200; f < 250; ++f)
        sim.StepFrame();
    EXPECT_EQ(ball.state, BALL_SERVED);
    EXPECT_NEAR(ball.position.y, 0.86f, 0.001f) << "on the plunger";
    for (int f = 250; f < 312; ++f)
        sim.StepFrame();
    EXPECT_EQ(ball.state, BALL_IN_PLAY);
    EXPECT_LT(ball.velocity.y, -1.0f) << "launched after 0.6 s of charge";
}

TEST_F(Sim, SameInputSeedAndFrameTimeGiveTheSameTraceAndShotsEveryKFrames) {
    const std::string args =
        dir.File("table.script") + " --frames 900 --trace --seed 7 --input " + dir.File("play.txt");
    int code1 = -1, code2 = -1;
    const std::string first = Run(args, &code1);
    EXPECT_EQ(code1, 0);
    EXPECT_EQ(Run(args, &code2), first);
    EXPECT_EQ(code2, 0);
    EXPECT_GT(first.size(), 900u * 40u);
    // Launched, drained and served again on the plunger.
    EXPECT_NE(first.find("frame 899 ball 0 state 2"), std::string::npos);
    EXPECT_NE(first.find("current ball 2 of 2"), std::string::npos);
    Run(dir.File("table.script") + " --frames 4 --shots " + dir.File("shots") + " --every 2",
        &code1);
    EXPECT_EQ(code1, 0);
    EXPECT_TRUE(FileExists(dir.File("shots/frame000002.png")));
    EXPECT_TRUE(FileExists(dir.File("shots/frame000004.png")));
    EXPECT_FALSE(FileExists(dir.File("shots/frame000003.png")));
}

TEST_F(Sim, RefusesWhatItCannotRunSayingWhy) {
    WriteFile(dir.File("unknown.txt"), "10 NUDGE down\n");
    const std::pair<std::string, std::string> cases[] = {
        {dir.File("missing.script"), "can't load table"},
        {dir.File("table.script") + " --input " + dir.File("unknown.txt"), "unknown control"},
        {"--frames x " + dir.File("table.script"), "usage"},
    };
    for (const auto& [args, message] : cases) {
        int code = 0;
        EXPECT_NE(Run(args, &code).find(message), std::string::npos) << args;
        EXPECT_NE(code, 0) << args;
    }
}

TEST_F(Sim, BatchRunsEveryTableAloneAndReportsTheWorstExit) {
    const std::string table = dir.File("table.script");
    WriteFile(dir.File("list.txt"),
              table + "\n\n" + dir.File("missing.script") + "\r\n" + table + "\n");
    int code = 0;
    const std::string out = Run("--batch " + dir.File("list.txt") + " --frames 300", &code);
    EXPECT_EQ(code, 1);
    const std::size_t first = out.find("table " + table + "\n");
    const std::size_t missing = out.find("can't load table", first);
    const std::size_t second = out.find("table " + table + "\n", missing);
    ASSERT_NE(second, std::string::npos) << out;
    // The later run starts afresh: the same summary as the first.
    const std::string one = out.substr(first, out.find("exit 0\n", first) - first);
    EXPECT_EQ(out.substr(second, one.size()), one);
    EXPECT_NE(out.find("exit 1\n", missing), std::string::npos);
    Run("--batch " + dir.File("list.txt") + " " + table, &code);
    EXPECT_EQ(code, 2) << "a table and a list";
}

TEST(InputRecording, LinesInFrameOrderAndMalformedLinesRefused) {
    std::vector<InputEvent> events;
    std::string error;
    ASSERT_TRUE(ParseInputRecording("\n# note\n20 TILT down\r\n  5 spring down \n20 TILT up\n",
                                    &events, &error));
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].frame, 5);
    EXPECT_EQ(events[1].control, "TILT");
    EXPECT_TRUE(events[1].down);
    EXPECT_FALSE(events[2].down);  // same frame: file order kept
    for (const char* bad :
         {"x TILT down", "5 TILT", "5 TILT down extra", "-1 TILT down", "99999999999 TILT down"})
        EXPECT_FALSE(ParseInputRecording(bad, &events, &error)) << bad;
}

}  // namespace
