#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "elements/lights.h"
#include "elements/link.h"
#include "elements/table_elements.h"
#include "physics/main_ball.h"
#include "tests/test_files.h"
#include "tools/zarnik-sim/sim_runner.h"

namespace {

// A ball drops onto a bumper over and over, crossing a lane sensor on the
// way down and up. The bumper scores and lights a lamp; the third lane hit
// passes the lane link's token to the jackpot link, and its becoming current
// starts a second ball.
const char* kRuleTable =
    "ScreenRect { left = 0; right = 800; top = 0; bottom = 600; };;\r\n"
    "TableSettings { ball_count = 3; };;\r\n"
    "MainBall { name = \"Ball\"; startup_position_x = 0.5; startup_position_y = 0.1; "
    "radius = 0.02; };;\r\n"  // 0
    "CollisionForm { c_type = \"COLLISION_BOUNCE\"; k_bounce = 1.0; "
    "Line { toX = 0.3; toY = 0.5; };; Line { toX = 0.7; toY = 0.5; };; };;\r\n"  // 1 bumper
    "TSwitch { atX = 0.45; atY = 0.6; filename = \"lamp.bmp\"; };;\r\n"          // 2
    "Link { from = 1; scores = 100; To { to = 2; };; };;\r\n"                    // 3
    "CollisionForm { c_type = \"COLLISION_NONE\"; "
    "Line { toX = 0.3; toY = 0.3; };; Line { toX = 0.7; toY = 0.3; };; };;\r\n"  // 4 lane
    "Link { from = 7; time_to_sleep = 0.0; To { to = 8; };; };;\r\n"             // 5 multiball
    "Link { from = 4; scores = 10; big_scores = 10; initially_current = 1; change_count = 3; "
    "next = 7; };;\r\n"                                                           // 6 lanes
    "Link { from = 2; };;\r\n"                                                    // 7 jackpot
    "BallGenerator { atX = 0.6; atY = 0.2; speedX = 0.0; speedY = 0.0; };;\r\n";  // 8

struct Frame {
    int score;
    int balls;
    bool lit;
};

TEST(RuleChain, BumperScoresAndLightsAndThreeLaneHitsStartAMultiball) {
    ScratchDir dir("rule_chain_test");
    WriteFile(dir.File("rules.script"), kRuleTable);
    RegisterTableElements();
    SimOptions options;
    options.table = dir.File("rules.script");
    SimRunner sim;
    std::string error;
    ASSERT_TRUE(sim.Start(options, &error)) << error;
    Table& table = sim.table();
    ASSERT_EQ(table.ElementCount(), 9);
    for (int link : {3, 5, 6, 7})
        ASSERT_TRUE(table.Element(link)->Enabled()) << "forward references validated at load";
    const auto* lamp = static_cast<TSwitch*>(table.Element(2));
    const auto* jackpot = static_cast<Link*>(table.Element(7));

    std::vector<Frame> frames;
    for (int f = 0; f < 700; ++f) {
        sim.StepFrame();
        frames.push_back(Frame{table.score, table.BallCount(), lamp->lit});
    }
    // Nothing moves during the two-second light show.
    for (int f = 0; f < 200; ++f) {
        ASSERT_EQ(frames[f].score, 0) << f;
        ASSERT_EQ(frames[f].balls, 1) << f;
    }
    // Score changes, in order: lane, bumper, lane, lane (which also makes the
    // second ball in the same frame).
    std::vector<int> changedAt;
    std::vector<int> gains;
    for (int f = 200; f < 700; ++f) {
        const int gain = frames[f].score - frames[f - 1].score;
        if (gain != 0) {
            changedAt.push_back(f);
            gains.push_back(gain);
        }
    }
    ASSERT_GE(gains.size(), 4u);
    EXPECT_EQ(std::vector<int>(gains.begin(), gains.begin() + 4),
              (std::vector<int>{10, 100, 10, 10}));
    // A free fall of 0.18 from rest under 0.7: about 0.72 s after the show.
    EXPECT_NEAR(changedAt[0], 200 + 72, 3);
    EXPECT_TRUE(frames[changedAt[1]].lit) << "the bumper lights the lamp at once";
    EXPECT_FALSE(frames[changedAt[1] - 1].lit);
    for (int f = 200; f < changedAt[3]; ++f)
        ASSERT_EQ(frames[f].balls, 1) << f;
    EXPECT_EQ(frames[changedAt[3]].balls, 2);
    EXPECT_TRUE(jackpot->is_current);
    EXPECT_EQ(frames.back().balls, 2) << "one multiball only";
    EXPECT_EQ(table.ballsInPlay, 2);
}

}  // namespace
