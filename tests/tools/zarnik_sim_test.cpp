#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "physics/handle.h"
#include "physics/main_ball.h"
#include "tests/test_files.h"
#include "tools/zarnik-sim/sim_runner.h"

namespace {

// Walls round the top, a plunger lane on the right, inlanes and two
// flippers at the bottom with a drain between them.
const char* kTable =
    "ScreenRect { left = 0; right = 800; top = 0; bottom = 600; };;\r\n"
    "TableSettings { ball_count = 2; };;\r\n"
    "MainBall { name = \"Ball\"; startup_position_x = 0.93; startup_position_y = 0.85; radius = "
    "0.02; };;\r\n"
    "CollisionForm { f_type = \"OPENED\"; c_type = \"COLLISION_COMBINE\"; k_bounce = 0.3; k_slide "
    "= 0.9;\r\n"
    " Line { toX = 0.04; toY = 0.80; };; Line { toX = 0.04; toY = 0.02; };; Line { toX = 0.85; toY "
    "= 0.02; };;\r\n"
    " Line { toX = 0.97; toY = 0.12; };; Line { toX = 0.97; toY = 0.95; };; };;\r\n"
    "CollisionForm { atX = 0.9; c_type = \"COLLISION_COMBINE\"; k_bounce = 0.3; k_slide = 0.9;\r\n"
    " Line { toX = 0.9; toY = 0.95; };; Line { toX = 0.9; toY = 0.25; };; };;\r\n"
    "CollisionForm { c_type = \"COLLISION_COMBINE\"; k_bounce = 0.3; k_slide = 0.9;\r\n"
    " Line { toX = 0.04; toY = 0.80; };; Line { toX = 0.30; toY = 0.90; };; };;\r\n"
    "CollisionForm { c_type = \"COLLISION_COMBINE\"; k_bounce = 0.3; k_slide = 0.9;\r\n"
    " Line { toX = 0.9; toY = 0.80; };; Line { toX = 0.66; toY = 0.90; };; };;\r\n"
    "CollisionForm { atX = 0.30; atY = 0.90; f_type = \"CLOSED\"; k_bounce = 0.3; k_slide = "
    "0.9;\r\n"
    " Line { toX = 0.44; toY = 0.95; };; Line { toX = 0.30; toY = 0.89; };; Line { toX = 0.30; toY "
    "= 0.91; };; };;\r\n"
    "CollisionForm { atX = 0.66; atY = 0.90; f_type = \"CLOSED\"; k_bounce = 0.3; k_slide = "
    "0.9;\r\n"
    " Line { toX = 0.52; toY = 0.95; };; Line { toX = 0.66; toY = 0.89; };; Line { toX = 0.66; toY "
    "= 0.91; };; };;\r\n"
    "CollisionForm { atX = 0.93; atY = 0.88; c_type = \"COLLISION_SLIDE\"; k_slide = 0.5;\r\n"
    " Line { toX = 0.9; toY = 0.88; };; Line { toX = 0.97; toY = 0.88; };; };;\r\n"
    "Handle { control = 1; form = 5; maxangle = 0.6; };;\r\n"
    "Handle { control = 2; form = 6; maxangle = 0.6; };;\r\n"
    "Spring { control = 3; form = 7; fspeed = 2.0; bspeed = 20.0; maxangle = 0.03; kmax = 1.0; "
    "};;\r\n";

const char* kPlay =
    "# launch, then catch the ball on the left flipper\n"
    "250 SPRING down\n310 SPRING up\n578 RIGHTHANDLE down\n600 RIGHTHANDLE up\n";

class Sim : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(dir.File("table.script"), kTable);
        WriteFile(dir.File("play.txt"), kPlay);
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

TEST_F(Sim, LaunchedBallTravelsTheLaneMeetsTheFlipperAndIsLost) {
    SimOptions options;
    options.table = dir.File("table.script");
    options.inputFile = dir.File("play.txt");
    SimRunner sim;
    std::string error;
    ASSERT_TRUE(sim.Start(options, &error)) << error;
    Table& table = sim.table();
    ASSERT_EQ(table.ElementCount(), 11);
    auto& ball = *static_cast<MainBall*>(table.Ball(0));
    auto run = [&](int frames, auto&& each) {
        for (int f = 0; f < frames; ++f) {
            sim.StepFrame();
            each();
        }
    };
    run(200, [] {});  // the light show: nothing moves
    EXPECT_FLOAT_EQ(ball.position.y, 0.85f);
    run(50, [] {});  // drops onto the plunger and waits there
    EXPECT_EQ(ball.state, BALL_SERVED);
    EXPECT_NEAR(ball.position.y, 0.86f, 0.001f);
    run(62, [] {});  // released after 0.6 s of charge: up the lane
    EXPECT_EQ(ball.state, BALL_IN_PLAY);
    EXPECT_LT(ball.velocity.y, -1.0f);
    float top = 1.0f, left = 1.0f;
    run(266, [&] { top = std::min(top, ball.position.y), left = std::min(left, ball.position.x); });
    EXPECT_LT(top, 0.1f);
    EXPECT_LT(left, 0.1f);
    EXPECT_GT(ball.velocity.x, 0.5f) << "rolling down the left inlane";
    float lowestVy = 0.0f;  // the flipper rises under the ball and kicks it up
    run(22, [&] { lowestVy = std::min(lowestVy, ball.velocity.y); });
    EXPECT_LT(lowestVy, -0.2f);
    EXPECT_EQ(table.currentBallNumber, 1);
    for (int f = 600; f < 3000 && table.currentBallNumber == 1; ++f)
        sim.StepFrame();
    EXPECT_EQ(table.currentBallNumber, 2) << "drained, the second ball is served";
    EXPECT_EQ(ball.state, BALL_SERVED);
    EXPECT_FLOAT_EQ(ball.position.x, 0.93f);
}

TEST_F(Sim, SameInputSeedAndFrameTimeGiveTheSameTrace) {
    const std::string args =
        dir.File("table.script") + " --frames 900 --trace --seed 7 --input " + dir.File("play.txt");
    int code1 = -1, code2 = -1;
    const std::string first = Run(args, &code1);
    const std::string second = Run(args, &code2);
    EXPECT_EQ(code1, 0);
    EXPECT_EQ(code2, 0);
    EXPECT_GT(first.size(), 900u * 40u);
    EXPECT_EQ(first, second);
    EXPECT_NE(first.find("frame 899 ball 0 state 0"), std::string::npos);
    EXPECT_NE(first.find("current ball 1 of 2"), std::string::npos);
}

TEST_F(Sim, RefusesWhatItCannotRun) {
    int code = 0;
    std::string out = Run(dir.File("missing.script"), &code);
    EXPECT_NE(code, 0);
    EXPECT_NE(out.find("can't load table"), std::string::npos);

    WriteFile(dir.File("bad.txt"), "10 SPRING sideways\n");
    out = Run(dir.File("table.script") + " --input " + dir.File("bad.txt"), &code);
    EXPECT_NE(code, 0);
    EXPECT_NE(out.find("input line 1"), std::string::npos);

    WriteFile(dir.File("unknown.txt"), "10 NUDGE down\n");
    out = Run(dir.File("table.script") + " --input " + dir.File("unknown.txt"), &code);
    EXPECT_NE(code, 0);
    EXPECT_NE(out.find("unknown control"), std::string::npos);

    out = Run("--frames x " + dir.File("table.script"), &code);
    EXPECT_NE(code, 0);
    EXPECT_NE(out.find("usage"), std::string::npos);
}

TEST_F(Sim, ShotsAreSavedEveryKFrames) {
    int code = -1;
    Run(dir.File("table.script") + " --frames 4 --shots " + dir.File("shots") + " --every 2",
        &code);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(FileExists(dir.File("shots/frame000002.png")));
    EXPECT_TRUE(FileExists(dir.File("shots/frame000004.png")));
    EXPECT_FALSE(FileExists(dir.File("shots/frame000003.png")));
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
         {"x TILT down", "5 TILT", "5 TILT down extra", "-1 TILT down", "99999999999 TILT down"}) {
        events.clear();
        EXPECT_FALSE(ParseInputRecording(bad, &events, &error)) << bad;
    }
}

}  // namespace
