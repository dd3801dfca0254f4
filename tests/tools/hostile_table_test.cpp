#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "elements/locker.h"
#include "elements/text_messages.h"
#include "physics/collision_form.h"
#include "physics/editor_lines.h"
#include "physics/handle.h"
#include "physics/main_ball.h"
#include "physics/spring.h"
#include "render/font.h"
#include "render/frame_animation.h"
#include "tests/render/render_fixture.h"
#include "tests/test_files.h"
#include "tools/zarnik-sim/sim_check.h"
#include "tools/zarnik-sim/sim_runner.h"

// Tables a careless or hostile author may write, run through the headless
// runner: each loads at once, keeps every number finite and goes on serving
// balls.

namespace {

// A real beyond float range (read as infinity) and a factor far beyond sense.
const std::string kEndless = "1" + std::string(400, '0') + ".0";
const std::string k1e20 = "100000000000000000000.0";
const char* kTwoBillion = "2000000000";

// Element 0: a ball dropping from the middle, which falls off the table in
// about 1.5 s unless something holds it.
const std::string kBall =
    "TableSettings { ball_count = 3; };;\r\n"
    "MainBall { startup_position_x = 0.5; startup_position_y = 0.3; radius = 0.02; };;\r\n";

// `n` glass balls on a grid of 16 x 4 places below the first ball (balls
// that start overlapping hold each other up), each followed by an element of
// another kind.
std::string ManyBalls(int n) {
    std::string text;
    for (int i = 0; i < n; ++i)
        text += "MainBall { startup_position_x = " + std::to_string(0.05 + 0.06 * (i % 16)) +
                "; startup_position_y = " + std::to_string(0.4 + 0.06 * (i / 16 % 4)) +
                "; radius = 0.02; dmap = \"data\\\\dmap.bmp\"; dmplus = \"data\\\\glass.bmp\"; "
                "image = \"data\\\\glass.bmp\"; shadow = \"data\\\\shadow.bmp\"; };;\r\n"
                "Dummy { };;\r\n";
    return text;
}

// The ball's pictures and the font "msgfnt" live in the test's own folder.
class HostileTables : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile("data/grid.bmp", SolidBmp(160, 192, 0xFFFFFFu));
        WriteFile("data/fonts.script",
                  "font { fontname = \"msgfnt\"; filename = \"data\\\\grid.bmp\"; };\n");
        WriteFile("data/dmap.bmp", SolidBmp(8, 8, 0x000010u));
        WriteFile("data/glass.bmp", SolidBmp(8, 8, 0x202020u));
        WriteFile("data/shadow.bmp", SolidBmp(8, 8, 0x101010u));
    }
    void TearDown() override {
        sim.reset();
        ReleaseFontList();
        std::error_code ec;
        std::filesystem::remove_all("data", ec);
    }

    bool Start(const std::string& elements, const std::string& input = "") {
        // A fresh runner, as for a new table; it reads the font list again.
        sim.reset();
        ReleaseFontList();
        sim = std::make_unique<SimRunner>();
        WriteFile(dir.File("t.script"), kBall + elements);
        SimOptions options;
        options.table = dir.File("t.script");
        if (!input.empty()) {
            WriteFile(dir.File("input.txt"), input);
            options.inputFile = dir.File("input.txt");
        }
        std::string error;
        if (!sim->Start(options, &error)) {
            ADD_FAILURE() << error;
            return false;
        }
        EXPECT_TRUE(CheckLoadTime(sim->LoadSeconds(), 1.0, &error)) << error;
        sim->table().lightShow = false;
        return true;
    }

    // Every number such a table could poison: the runner's check of the
    // balls, flipper and plunger positions, form vertices, and the
    // travelling texts' limits.
    ::testing::AssertionResult AllFinite(int frame) {
        Table& t = sim->table();
        std::string error;
        if (!CheckBallsFinite(t, frame, &error))
            return ::testing::AssertionFailure() << error;
        for (int i = 0; i < t.ElementCount(); ++i) {
            TableObject* e = t.Element(i);
            float p = 0.0f;
            if (e->type == ELEMENT_HANDLE)
                p = static_cast<Handle*>(e)->p;
            if (e->type == ELEMENT_SPRING)
                p = static_cast<Spring*>(e)->p;
            if (!(p >= 0.0f && p <= 1.0f))
                return ::testing::AssertionFailure()
                       << "frame " << frame << ": element " << i << " at p = " << p;
            if (e->type == ELEMENT_FORM) {
                for (const Vec2& v : static_cast<CollisionForm*>(e)->vertices) {
                    if (!IsFinite(v))
                        return ::testing::AssertionFailure() << "frame " << frame << ": form " << i
                                                             << " at " << v.x << ", " << v.y;
                }
            }
            if (e->type == ELEMENT_TRAVELING_STRING) {
                auto* s = static_cast<TravelingString*>(e);
                if (!(std::fabs(s->left_limit) <= 2.0f && std::fabs(s->top_limit) <= 2.0f))
                    return ::testing::AssertionFailure() << "frame " << frame << ": limits "
                                                         << s->left_limit << " " << s->top_limit;
            }
        }
        return ::testing::AssertionSuccess();
    }

    ScratchDir dir{"hostile_test"};
    std::unique_ptr<SimRunner> sim;
};

TEST_F(HostileTables, EachRunsWithFiniteNumbersAndGoesOnServing) {
    struct Case {
        const char* what;
        std::string elements;
        std::string input;
        int zeroTimeFrames;  // run first with a frame time of 0
    } cases[] = {
        {"frame counts of two billion",
         std::string("Locker { filestart = \"x\"; fileend = \".bmp\"; filecount = ") + kTwoBillion +
             "; };;\r\nStaticSprite { filestart = \"s\"; fileend = \".bmp\"; playalways = 1; "
             "filecount = " +
             kTwoBillion +
             "; };;\r\nTravelingString { type = 1; font = \"msgfnt\"; filestart = \"t\"; "
             "fileend = \".bmp\"; filecount = " +
             kTwoBillion + "; };;\r\n",
         "", 0},
        {"a bouncer of 1e20 under the ball",
         "CollisionForm { c_type = \"COLLISION_BOUNCE\"; k_bounce = " + k1e20 +
             "; Line { toX = 0.1; toY = 0.6; };; Line { toX = 0.9; toY = 0.6; };; };;\r\n",
         "", 0},
        {"a slide of 1e20 under the ball",
         "CollisionForm { c_type = \"COLLISION_COMBINE\"; k_slide = " + k1e20 +
             "; Line { toX = 0.1; toY = 0.5; };; Line { toX = 0.9; toY = 0.7; };; };;\r\n",
         "", 0},
        {"flipper and plunger of endless speeds, frame time 0 at first",
         "CollisionForm { atX = 0.1; atY = 0.8; Line { toX = 0.2; toY = 0.8; };; "
         "Line { toX = 0.1; toY = 0.8; };; };;\r\n"
         "CollisionForm { Line { toX = 0.8; toY = 0.9; };; Line { toX = 0.9; toY = 0.9; };; "
         "};;\r\nHandle { control = 1; form = 1; fspeed = " +
             kEndless + "; bspeed = " + kEndless + "; maxangle = " + kEndless +
             "; };;\r\nSpring { control = 3; form = 2; fspeed = " + kEndless +
             "; bspeed = " + kEndless + "; kmax = " + kEndless + "; };;\r\n",
         // The plunger's second release launches the served ball at an endless speed.
         "0 RIGHTHANDLE down\n0 SPRING down\n30 RIGHTHANDLE up\n30 SPRING up\n"
         "200 SPRING down\n210 SPRING up\n",
         20},
        {"a screen rectangle of the whole int range",
         "ScreenRect { left = -2147483648; right = 2147483647; top = -2147483648; bottom = "
         "2147483647; };;\r\nTravelingString { type = 5; font = \"msgfnt\"; tspeedX = " +
             kEndless + "; };;\r\n",
         "", 0},
        {"picture offsets and opacity beyond range",
         "MainBall { startup_position_x = 0.3; startup_position_y = 0.1; dmap = "
         "\"data\\\\dmap.bmp\"; dmplus = \"data\\\\glass.bmp\"; image = \"data\\\\glass.bmp\"; "
         "shadow = \"data\\\\shadow.bmp\"; refX = 2147483647; refY = -2147483648; shX = "
         "2147483647; shY = 2147483647; opacity = " +
             k1e20 + "; temp = 1; };;\r\n",
         "", 0},
        // The ball crosses a sensor that starts two generators; the copies
        // start beside it and below, so they cross nothing.
        {"launchers off float range",
         "CollisionForm { c_type = \"COLLISION_NONE\"; Line { toX = 0.45; toY = 0.35; };; "
         "Line { toX = 0.55; toY = 0.35; };; };;\r\nBallGenerator { atX = " +
             kEndless + "; atY = 0.2; };;\r\nBallGenerator { atX = 0.7; atY = 0.4; speedX = " +
             kEndless + "; speedValue = " + kEndless +
             "; };;\r\nLink { from = 1; To { to = 2; };; To { to = 3; };; };;\r\n",
         "", 0},
        // Drawn at every ball entry, these once took seconds a frame.
        {"a thousand glass balls between other elements", ManyBalls(1000), "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(Start(c.elements, c.input));
        sim->SetFrameTime(0.0f);
        ::testing::AssertionResult finite = ::testing::AssertionSuccess();
        for (int f = 0; f < 400 && finite; ++f) {
            if (f == c.zeroTimeFrames)
                sim->SetFrameTime(0.01f);
            sim->StepFrame();
            finite = AllFinite(f);
        }
        EXPECT_TRUE(finite);
        EXPECT_GE(sim->table().currentBallNumber, 2) << "the game went on serving";
    }
}

TEST_F(HostileTables, FrameCountsAreCutWithOneMessageAndMissingFramesReportedInFour) {
    std::string log = LogAddedBy([&] {
        ASSERT_TRUE(Start(std::string("Locker { filestart = \"x\"; fileend = \".bmp\"; "
                                      "filecount = ") +
                          kTwoBillion + "; };;\r\n"));
    });
    const auto* gate = static_cast<const Locker*>(sim->table().Element(1));
    EXPECT_EQ(gate->Animation()->Count(), FrameAnimation::kMaxFrames);
    EXPECT_EQ(gate->filecount, 2000000000) << "kept as written, for saving";
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 5) << log;
    EXPECT_NE(log.find("x####.bmp: 4096 of 4096 frames are missing !"), std::string::npos) << log;
    // Still a gate: it opens and closes on its rules.
    sim->table().Element(1)->Activate();
    EXPECT_EQ(gate->gate_state, GATE_OPENING);
}

TEST_F(HostileTables, BallBoxedInByEndlessBouncesStaysInTheBoxWithFiniteNumbers) {
    // Each bounce multiplies the speed by 1e20: the second one leaves float
    // range and the ball stops at that contact for the rest of the step.
    ASSERT_TRUE(Start("CollisionForm { c_type = \"COLLISION_BOUNCE\"; k_bounce = " + k1e20 +
                      "; f_type = \"CLOSED\"; Line { toX = 0.1; toY = 0.1; };; "
                      "Line { toX = 0.9; toY = 0.1; };; Line { toX = 0.9; toY = 0.6; };; "
                      "Line { toX = 0.1; toY = 0.6; };; };;\r\n"));
    const auto& ball = *static_cast<const MainBall*>(sim->table().Ball(0));
    for (int f = 0; f < 300; ++f) {
        sim->StepFrame();
        ASSERT_TRUE(AllFinite(f));
        ASSERT_TRUE(ball.position.y >= 0.1199f && ball.position.y <= 0.5801f)
            << "frame " << f << ": y " << ball.position.y;
    }
    EXPECT_EQ(sim->table().currentBallNumber, 1) << "never lost";
}

TEST_F(HostileTables, CheckNamesTheFrameAndTheBallAndTheRunnerFailsASlowLoad) {
    ASSERT_TRUE(Start(""));
    auto& ball = *static_cast<MainBall*>(sim->table().Ball(0));
    std::string error;
    ball.velocity.y = std::nanf("");
    EXPECT_FALSE(CheckBallsFinite(sim->table(), 12, &error));
    EXPECT_EQ(error.rfind("frame 12: ball 0 at (0.5, 0.3) moving at (0, nan)", 0), 0u) << error;
    ball.velocity.y = 3e38f;
    ball.velocity.x = 3e38f;
    EXPECT_FALSE(CheckBallsFinite(sim->table(), 12, &error)) << "a speed of no float size";

    const std::string sim = std::string(ZARNIK_BINARY_DIR) + "/tools/zarnik-sim/zarnik-sim " +
                            dir.File("t.script") + " --frames 300 --check";
    std::string out;
    EXPECT_EQ(RunCommand(sim + " 2>&1", &out), 0) << out;
    EXPECT_EQ(RunCommand(sim + " --load-limit 0 2>&1", &out), 3);
    EXPECT_NE(out.find("zarnik-sim: the table took longer than 0 s to load"), std::string::npos)
        << out;
}

TEST(EditorLines, FarOffLinesAreCutToWhatCanBeSeenAndNearOnesLeftAlone) {
    struct Case {
        int in[4];
        bool kept;
        int out[4];
    } cases[] = {
        {{10, 20, -900, 1500}, true, {10, 20, -900, 1500}},  // near: as it is
        {{-100000000, 10, 100000000, 10}, true, {-1024, 10, 1824, 10}},
        {{-100000000, -100000000, 100000000, 100000000}, true, {-1024, -1024, 1624, 1624}},
        {{-100000000, -5000, 100000000, -5000}, false, {}},  // passes above
    };
    for (const Case& c : cases) {
        int p[4] = {c.in[0], c.in[1], c.in[2], c.in[3]};
        ASSERT_EQ(ClipEditorLine(&p[0], &p[1], &p[2], &p[3], 800, 600), c.kept) << c.in[0];
        if (c.kept) {
            EXPECT_EQ(std::vector<int>(p, p + 4), std::vector<int>(c.out, c.out + 4));
        }
    }
}

}  // namespace
