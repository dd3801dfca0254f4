#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "elements/lights.h"
#include "elements/table_elements.h"
#include "tests/test_files.h"
#include "tools/zarnik-sim/sim_runner.h"

namespace {

// A ball drops onto a bumper again and again, crossing a lane sensor on the
// way down and up. The bumper scores and lights a lamp; the third lane hit
// passes the lane link's token to the jackpot link, whose becoming current
// starts a second ball.
const char* kRuleTable =
    "ScreenRect { left = 0; right = 800; top = 0; bottom = 600; };;\r\n"
    "MainBall { startup_position_x = 0.5; startup_position_y = 0.1; radius = 0.02; };;\r\n"
    "CollisionForm { c_type = \"COLLISION_BOUNCE\"; k_bounce = 1.0; "
    "Line { toX = 0.3; toY = 0.5; };; Line { toX = 0.7; toY = 0.5; };; };;\r\n"  // 1 bumper
    "TSwitch { atX = 0.45; atY = 0.6; filename = \"lamp.bmp\"; };;\r\n"          // 2
    "Link { from = 1; scores = 100; To { to = 2; };; };;\r\n"
    "CollisionForm { c_type = \"COLLISION_NONE\"; "
    "Line { toX = 0.3; toY = 0.3; };; Line { toX = 0.7; toY = 0.3; };; };;\r\n"  // 4 lane
    "Link { from = 7; time_to_sleep = 0.0; To { to = 8; };; };;\r\n"             // multiball
    "Link { from = 4; scores = 10; big_scores = 10; initially_current = 1; change_count = 3; "
    "next = 7; };;\r\n"
    "Link { from = 2; };;\r\n"                                                    // 7 jackpot
    "BallGenerator { atX = 0.6; atY = 0.2; speedX = 0.0; speedY = 0.0; };;\r\n";  // 8

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
    const auto* lamp = static_cast<TSwitch*>(table.Element(2));

    std::vector<int> changedAt, gains;
    int balls = 1;
    for (int f = 0; f < 700; ++f) {
        const int before = table.score;
        const bool litBefore = lamp->lit;
        sim.StepFrame();
        if (f < 200) {
            ASSERT_EQ(table.score, 0) << "the light show, frame " << f;
        } else if (table.score != before) {
            changedAt.push_back(f);
            gains.push_back(table.score - before);
            if (gains.size() == 2) {
                EXPECT_TRUE(lamp->lit && !litBefore) << "the bumper lights the lamp at once";
            }
        }
        if (table.BallCount() != balls) {
            EXPECT_EQ(gains.size(), 4u) << "frame " << f;
            ASSERT_EQ(changedAt.back(), f) << "the multiball starts with the third lane hit";
            balls = table.BallCount();
        }
    }
    ASSERT_GE(gains.size(), 4u);
    EXPECT_EQ(std::vector<int>(gains.begin(), gains.begin() + 4),
              (std::vector<int>{10, 100, 10, 10}));
    // A free fall of 0.18 from rest under 0.7: about 0.72 s after the show.
    EXPECT_NEAR(changedAt[0], 200 + 72, 3);
    EXPECT_EQ(balls, 2);
    EXPECT_EQ(table.ballsInPlay, 2);
}

}  // namespace
