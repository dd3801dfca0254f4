// The table author's report and the random-shot search, on small tables
// built to show each finding.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "physics/main_ball.h"
#include "tests/test_files.h"
#include "tools/zarnik-sim/random_shots.h"
#include "tools/zarnik-sim/sim_report.h"
#include "tools/zarnik-sim/sim_runner.h"

namespace {

// Element 0 a ball dropped at 0.42, 0.3; element 1 a floor under it it
// settles on; element 2 a wall far off nothing reaches; element 3 a link on
// the far wall, element 4 one on the floor.
const char* kCup =
    "TableSettings { ball_count = 2; };;\r\n"
    "MainBall { startup_position_x = 0.42; startup_position_y = 0.3; radius = 0.02; };;\r\n"
    "CollisionForm { k_bounce = 0.1; k_slide = 0.5; "
    "Line { toX = 0.8; toY = 0.6; };; Line { toX = 0.2; toY = 0.6; };; };;\r\n"
    "CollisionForm { Line { toX = 0.05; toY = 0.05; };; Line { toX = 0.1; toY = 0.05; };; };;\r\n"
    "Link { from = 2; scores = 5; };;\r\n"
    "Link { from = 1; scores = 5; };;\r\n";

class Report : public ::testing::Test {
protected:
    void Run(const std::string& table, int frames, float dt = 0.01f) {
        WriteFile(dir.File("t.script"), table);
        SimOptions options;
        options.table = dir.File("t.script");
        options.dt = dt;
        std::string error;
        ASSERT_TRUE(sim.Start(options, &error)) << error;
        sim.table().lightShow = false;
        report.Begin(&sim.table(), TableOutline::Default());
        for (int f = 0; f < frames; ++f) {
            report.BeforeFrame(f);
            sim.StepFrame();
            report.AfterFrame(sim.LastDt(), sim.ControlHeld());
        }
    }
    std::string Text() {
        const std::string path = dir.File("report.txt");
        std::FILE* f = std::fopen(path.c_str(), "w");
        report.Write(f);
        std::fclose(f);
        return ReadFile(path);
    }
    void TearDown() override { report.End(); }

    ScratchDir dir{"sim_report"};
    SimRunner sim;
    SimReport report;
};

TEST_F(Report, ABallSettledInACupIsAtRestAndTheUntouchedWallAndItsLinkAreListed) {
    Run(kCup, 600);
    ASSERT_EQ(report.rests().size(), 1u) << Text();
    const SimReport::Rest& r = report.rests()[0];
    EXPECT_EQ(r.element, 0);
    EXPECT_EQ(r.touching, 1);
    // Reported once, when the rest passes 2 s.
    EXPECT_GT(r.frame - r.from, 200);
    EXPECT_LE(r.frame - r.from, 202);
    EXPECT_EQ(report.LinksNeverFired(), std::vector<int>{3});
    EXPECT_TRUE(report.outsides().empty());
    EXPECT_TRUE(report.subStepCaps().empty());
}

TEST_F(Report, TheCommandReportsFromTheLoadOnButNotTheBallHeldByTheLightShow) {
    WriteFile(dir.File("t.script"), kCup);
    SimOptions options;
    options.table = dir.File("t.script");
    options.frames = 900;
    options.report = true;
    const std::string path = dir.File("out.txt");
    std::FILE* out = std::fopen(path.c_str(), "w");
    EXPECT_EQ(RunSim(options, out), 0);
    std::fclose(out);
    const std::string text = ReadFile(path);
    EXPECT_NE(text.find("report of 900 frames\nballs at rest outside a rest place: 1\n  ball 0 "
                        "(element 0) at rest at 0.4200 0.5800"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("forms never hit: 1\n  2 FORM\n"), std::string::npos) << text;
    EXPECT_NE(text.find("links that never fired: 1\n  3 "), std::string::npos) << text;
}

TEST(RestTracker, EachInterruptionStartsTheTwoSecondsAgainAndTremblingIsStillRest) {
    RestTracker rest;
    Table table;
    MainBall ball(table);
    ball.position = {0.5f, 0.5f};
    int reported = 0;
    for (int f = 0; f < 500; ++f)
        reported += rest.Update(ball, /*free=*/f % 150 != 0, 0.01f);
    EXPECT_EQ(reported, 0);  // each interruption starts the 2 s again
    for (int f = 0; f < 500; ++f) {
        ball.position.x += 0.0004f * ((f & 1) ? 1.0f : -1.0f);  // trembling within 1 mm
        reported += rest.Update(ball, true, 0.01f);
    }
    EXPECT_EQ(reported, 1);
}

TEST_F(Report, ABallLeavingTheOutlineIsListedOnceWithItsFrame) {
    // Right of the table's width from the start.
    Run("TableSettings { ball_count = 1; };;\r\n"
        "MainBall { startup_position_x = 1.2; startup_position_y = 0.3; radius = 0.02; };;\r\n",
        50);
    ASSERT_EQ(report.outsides().size(), 1u) << Text();
    EXPECT_EQ(report.outsides()[0].frame, 0);
    EXPECT_EQ(report.outsides()[0].touching, -1);
    EXPECT_NE(Text().find("balls outside the outline: 1\n  ball 0 (element 0) at 1.2000"),
              std::string::npos)
        << Text();
}

TEST_F(Report, AFastTinyBallHitsTheSubStepCap) {
    // 1.2 * 0.05 / 1e-5 = 6000 radii in a frame: more than the 4096 sub-steps.
    Run("TableSettings { ball_count = 1; };;\r\n"
        "MainBall { startup_position_x = 0.5; startup_position_y = 0.1; startup_speed_y = 1.2; "
        "radius = 0.00001; };;\r\n",
        3, 0.05f);
    ASSERT_EQ(report.subStepCaps().count(0), 1u) << Text();
    EXPECT_EQ(report.subStepCaps().at(0).frames, (std::vector<int>{0, 1, 2}));
}

TEST_F(Report, ABallWedgedInANarrowElasticVeeStopsAtTheSeventhHit) {
    Run("TableSettings { ball_count = 1; };;\r\n"
        "MainBall { startup_position_x = 0.5; startup_position_y = 0.2; radius = 0.02; };;\r\n"
        "CollisionForm { c_type = \"COLLISION_BOUNCE\"; k_bounce = 1.0; Line { toX = 0.45; "
        "toY = 0.3; };; Line { toX = 0.5; toY = 0.6; };; Line { toX = 0.55; toY = 0.3; };; };;\r\n",
        400);
    ASSERT_EQ(report.hitLimits().count(0), 1u) << Text();
    const SimReport::Limit& l = report.hitLimits().at(0);
    ASSERT_GE(l.count, 1);
    EXPECT_EQ(int(l.frames.size()), l.count);
    // Wedged where the vee is as wide as the ball, after its fall.
    EXPECT_GT(l.frames[0], 50);
    EXPECT_NE(Text().find("steps stopped at the seventh hit: " + std::to_string(l.count) +
                          "\n  element 0 in " + std::to_string(l.count) +
                          " frames: " + std::to_string(l.frames[0])),
              std::string::npos)
        << Text();
}

TEST(Outline, PointsAreBoundedAndInsideIsEvenOdd) {
    TableOutline o;
    std::string error;
    ASSERT_TRUE(ParseOutline("# table\n0 0\n1 0\n 1 1 \n0 1\n", &o, &error)) << error;
    EXPECT_TRUE(o.Inside({0.5f, 0.5f}));
    EXPECT_FALSE(o.Inside({1.5f, 0.5f}));
    EXPECT_FALSE(ParseOutline("0 0\n1 0\n", &o, &error));
    EXPECT_EQ(error, "an outline needs 3 points at least");
    EXPECT_FALSE(ParseOutline("0 0\n1 0\n1 1e30\n", &o, &error));
    EXPECT_EQ(error, "outline line 3: expected 'x y'");
    for (const char* bad : {"0 0\n1 nan\n1 1\n", "0 0\n1 1 1\n1 1\n"})
        EXPECT_FALSE(ParseOutline(bad, &o, &error)) << bad;
    EXPECT_TRUE(o.points.empty());
}

// A box with a gap in its right wall, the ball at rest on the floor by default.
const char* kLeakyBox =
    "TableSettings { ball_count = 1; };;\r\n"
    "MainBall { startup_position_x = 0.5; startup_position_y = 0.5; radius = 0.02; };;\r\n"
    "CollisionForm { atX = 0.9; atY = 0.4; k_bounce = 0.5; Line { toX = 0.9; toY = 0.1; };; "
    "Line { toX = 0.1; toY = 0.1; };; Line { toX = 0.1; toY = 0.9; };; "
    "Line { toX = 0.9; toY = 0.9; };; Line { toX = 0.9; toY = 0.6; };; };;\r\n";

TEST(RandomShots, EscapesThroughAGapAreFoundAndTheSearchRepeatsFromItsSeed) {
    ScratchDir dir("random_shots");
    WriteFile(dir.File("t.script"), kLeakyBox);
    SimOptions options;
    options.table = dir.File("t.script");
    ShotSearchOptions search;
    search.shots = 200;
    search.seed = 9;
    search.outline.points = {{0.05f, 0.05f}, {0.95f, 0.05f}, {0.95f, 0.95f}, {0.05f, 0.95f}};
    auto run = [&]() {
        SimRunner sim;
        std::string error;
        EXPECT_TRUE(sim.Start(options, &error)) << error;
        sim.table().lightShow = false;
        return RandomShotSearch(sim.table(), sim.input(), nullptr, search);
    };
    const ShotSearchResult a = run();
    EXPECT_EQ(a.shots, 200);
    EXPECT_GT(a.escapes, 0);
    ASSERT_FALSE(a.cases.empty());
    EXPECT_EQ(a.cases[0].outcome, SHOT_ESCAPED);
    EXPECT_GT(a.cases[0].at.x, 0.9f);  // out through the gap
    EXPECT_LE(a.cases.size(), search.maxCases);
    const ShotSearchResult b = run();
    EXPECT_TRUE(b.escapes == a.escapes && b.stuck == a.stuck &&
                b.cases[0].launch.from.x == a.cases[0].launch.from.x &&
                b.cases[0].launch.speed.y == a.cases[0].launch.speed.y);
}

}  // namespace
