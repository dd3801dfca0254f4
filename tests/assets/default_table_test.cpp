// The default table as a player meets it: launch, flippers, bumpers, the
// rule chain to multiball, the end of the game, and no way out of the
// playfield but the drain. Runs on the data the build generated.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "physics/collision_form.h"
#include "physics/main_ball.h"
#include "physics/physics_elements.h"
#include "tools/zarnik-sim/sim_runner.h"
#ifdef ZARNIK_HAVE_ELEMENTS
#include "elements/table_elements.h"
#endif

namespace {

constexpr const char* kTable = "data\\tables\\t0000.script";
constexpr float kDt = 0.01f;

struct Point {
    float x, y;
};

bool Inside(const std::vector<Point>& poly, float x, float y) {
    bool in = false;
    for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        if ((poly[i].y > y) != (poly[j].y > y) &&
            x < poly[i].x + (y - poly[i].y) * (poly[j].x - poly[i].x) / (poly[j].y - poly[i].y))
            in = !in;
    }
    return in;
}

float SegmentDistance(Vec2 p, Vec2 a, Vec2 b) {
    const float ex = b.x - a.x, ey = b.y - a.y;
    const float ll = ex * ex + ey * ey;
    float t = ll > 0 ? ((p.x - a.x) * ex + (p.y - a.y) * ey) / ll : 0.0f;
    t = std::fmax(0.0f, std::fmin(1.0f, t));
    return std::hypot(p.x - a.x - t * ex, p.y - a.y - t * ey);
}

// Runs from the build folder, where the data was generated and packed.
class DefaultTable : public ::testing::Test {
protected:
    void SetUp() override {
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        oldDir_ = cwd;
        ASSERT_EQ(chdir(ZARNIK_BINARY_DIR), 0);
        ReadNames();
        ReadOutline();
        RegisterPhysicsElements();
#ifdef ZARNIK_HAVE_ELEMENTS
        RegisterTableElements();
        links_ = true;
#endif
        SimOptions options;
        options.table = kTable;
        options.dt = kDt;
        options.inputFile = recording_;
        std::string error;
        ASSERT_TRUE(sim_.Start(options, &error)) << error;
        ASSERT_EQ(sim_.table().ElementCount() > Index("plunger"), true);
        if (!links_) {
            // Without the rule links nothing opens the lane top at the start.
            Form("lane blocker")->SetEnabled(false);
        }
        Frames(int(2.1f / kDt));  // the light show after loading
    }
    void TearDown() override {
        ASSERT_EQ(chdir(oldDir_.c_str()), 0);
    }

    void ReadNames() {
        std::ifstream in("data/tables/t0000.script");
        std::string line;
        while (std::getline(in, line)) {
            int index = 0;
            char name[64] = {};
            if (std::sscanf(line.c_str(), "// %d %63[^\r]", &index, name) == 2)
                names_[name] = index;
        }
        ASSERT_GT(names_.size(), 50u);
    }
    void ReadOutline() {
        std::ifstream in("t0000.outline");
        Point p;
        while (in >> p.x >> p.y)
            outline_.push_back(p);
        ASSERT_GT(outline_.size(), 10u);
    }
    int Index(const std::string& name) {
        auto it = names_.find(name);
        EXPECT_NE(it, names_.end()) << name;
        return it == names_.end() ? -1 : it->second;
    }
    CollisionForm* Form(const std::string& name) {
        return static_cast<CollisionForm*>(sim_.table().Element(Index(name)));
    }
    MainBall& Ball() {
        return *static_cast<MainBall*>(sim_.table().Ball(0)->Object());
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            sim_.input().Poll();
            sim_.table().Update(nullptr, kDt);
        }
    }
    void Place(float x, float y, float vx, float vy) {
        MainBall& b = Ball();
        b.position = {x, y};
        b.velocity = {vx, vy};
        b.state = BALL_IN_PLAY;
        b.SetEnabled(true);
        sim_.table().ballsInPlay = 1;
    }
    bool InDrain(Vec2 p) const {
        return p.y > 1.0f && p.x > 0.14f && p.x < 0.79f;
    }
    bool Escaped(Vec2 p) const {
        return !InDrain(p) && !Inside(outline_, p.x, p.y);
    }

    std::string oldDir_;
    std::string recording_;  // an input recording for the runner, when set
    std::map<std::string, int> names_;
    std::vector<Point> outline_;
    SimRunner sim_;
    bool links_ = false;
};

// A player's launch, played from a recording: the first ball waits on the
// plunger, Space is held for a full charge and let go.
class RecordedLaunch : public DefaultTable {
protected:
    void SetUp() override {
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        recording_ = std::string(cwd) + "/full_launch.rec";
        std::ofstream(recording_) << "# full charge\n100 SPRING down\n210 SPRING up\n";
        DefaultTable::SetUp();
    }
};

TEST_F(RecordedLaunch, LeavesTheLaneAndTheExitKeepsItOut) {
    for (int i = 0; i < 100; ++i)
        sim_.StepFrame();
    ASSERT_NEAR(Ball().position.x, 0.8325f, 0.01f);
    ASSERT_GT(Ball().position.y, 0.85f);
    float top = 1.0f;
    bool left = false;
    for (int i = 100; i < 700; ++i) {
        sim_.StepFrame();
        const Vec2 p = Ball().position;
        if (p.y < -0.5f || InDrain(p))
            break;
        top = std::fmin(top, p.y);
        left = left || p.x < 0.74f;
        ASSERT_FALSE(Escaped(p)) << p.x << " " << p.y;
        // Once out, it never drops back below the lane top inside the lane.
        if (left && p.x > 0.805f) {
            ASSERT_LT(p.y, 0.30f) << "back in the plunger lane at frame " << i;
        }
    }
    EXPECT_LT(top, 0.12f);
    EXPECT_TRUE(left);
}

TEST_F(DefaultTable, RaisedFlipperHoldsTheBallAndAShotReachesTheUpperThird) {
    // Dropped onto the left bat while it is held up, the ball comes to rest.
    sim_.SetControl("LEFTHANDLE", true);
    Frames(10);
    Place(0.36f, 0.80f, 0.0f, 0.0f);
    Frames(300);
    const Vec2 held = Ball().position;
    EXPECT_LT(std::hypot(Ball().velocity.x, Ball().velocity.y), 0.02f);
    EXPECT_LT(held.y, 0.92f);
    EXPECT_LT(held.x, 0.40f);

    // Let it roll down the bat and flip when it is on the lower part.
    float best = 1.0f;
    for (int wait = 10; wait <= 100 && best > 0.33f; wait += 10) {
        sim_.SetControl("LEFTHANDLE", true);
        Place(held.x, held.y, 0.0f, 0.0f);
        Frames(30);
        sim_.SetControl("LEFTHANDLE", false);
        Frames(wait);
        sim_.SetControl("LEFTHANDLE", true);
        for (int i = 0; i < 150; ++i) {
            Frames(1);
            best = std::fmin(best, Ball().position.y);
        }
    }
    EXPECT_LT(best, 0.33f);
}

TEST_F(DefaultTable, BumpersKickTheBallAwayAndScore) {
    const int before = sim_.table().score;
    Place(0.47f, 0.36f, 0.0f, 0.3f);  // just above the lower bumper, falling onto it
    float fastest = 0.0f;
    for (int i = 0; i < 40; ++i) {
        Frames(1);
        fastest = std::fmax(fastest, std::hypot(Ball().velocity.x, Ball().velocity.y));
    }
    EXPECT_GT(fastest, 0.5f);
    if (links_) {
        EXPECT_GE(sim_.table().score, before + 100);
    }
}

// Every fourth hit of the lower bumper opens the orbit gate for a while.
TEST_F(DefaultTable, BumperHitsOpenTheOrbitGateForEightSeconds) {
    if (!links_)
        GTEST_SKIP() << "rule links are not built yet";
    ASSERT_TRUE(Form("gate")->Enabled());
    for (int hit = 0; hit < 4; ++hit) {
        EXPECT_TRUE(Form("gate")->Enabled()) << "open after " << hit << " hits";
        Place(0.47f, 0.38f, 0.0f, 0.3f);
        Frames(25);
    }
    EXPECT_FALSE(Form("gate")->Enabled());
    Frames(int(9.0f / kDt));
    EXPECT_TRUE(Form("gate")->Enabled());
}

// The ball dropped through each top lane in turn, then into the hole.
TEST_F(DefaultTable, RollingTheLanesInOrderThenTheHoleStartsMultiball) {
    if (!links_)
        GTEST_SKIP() << "rule links are not built yet";
    const float lanes[3] = {0.45f, 0.55f, 0.65f};
    for (float x : lanes) {
        const int score = sim_.table().score;
        Place(x, 0.11f, 0.0f, 0.2f);
        Frames(60);
        EXPECT_GT(sim_.table().score, score) << "lane at " << x;
    }
    const int before = sim_.table().BallCount();
    Place(0.27f, 0.45f, 0.0f, 0.3f);
    Frames(30);
    EXPECT_EQ(sim_.table().BallCount(), before + 1);
    EXPECT_FALSE(Ball().Enabled()) << "the hole holds the ball for a moment";
    Frames(150);
    EXPECT_TRUE(Ball().Enabled());
}

TEST_F(DefaultTable, GameEndsAfterTheThirdBallWithGameOverShown) {
    for (int ball = 0; ball < 3; ++ball) {
        Place(0.465f, 1.05f, 0.0f, 0.5f);  // straight down the drain
        Frames(50);
    }
    Frames(20);
    EXPECT_EQ(Ball().state, BALL_OUT_OF_BALLS);
    EXPECT_EQ(sim_.table().currentBallNumber, 3);
    if (links_) {
        TableMessage* over = sim_.table().Message(MESSAGE_GAMEOVER);
        ASSERT_NE(over, nullptr);
        EXPECT_TRUE(over->IsActive());
    }
}

// Shots from random points at random speeds up to the speed cap never get
// through the outer wall, and no ball comes to rest on the playfield.
TEST_F(DefaultTable, NoShotEscapesAndNoBallGetsStuck) {
    sim_.table().ball_count = 1000000;
    std::mt19937 rng(20261206);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const float r = Ball().radius;
    std::vector<const CollisionForm*> forms;
    for (int i = 0; i < sim_.table().ElementCount(); ++i) {
        const TableObject* e = sim_.table().Element(i);
        if (e->type == ELEMENT_FORM && e->Enabled() &&
            static_cast<const CollisionForm*>(e)->c_type != COLLISION_NONE)
            forms.push_back(static_cast<const CollisionForm*>(e));
    }
    auto clear = [&](Vec2 p) {
        if (!Inside(outline_, p.x, p.y) || p.y > 0.97f)
            return false;
        for (const CollisionForm* f : forms) {
            const int n = f->VertexCount();
            std::vector<Point> poly;
            for (int i = 0; i < n; ++i) {
                if (SegmentDistance(p, f->Vertex(i), f->Vertex((i + 1) % n)) < r * 1.2f)
                    return false;
                poly.push_back({f->Vertex(i).x, f->Vertex(i).y});
            }
            if (f->f_type == FORM_CLOSED && Inside(poly, p.x, p.y))
                return false;
        }
        return true;
    };
    const int shots = 10000;
    int escapes = 0, stuck = 0, drained = 0;
    for (int shot = 0; shot < shots; ++shot) {
        Vec2 p;
        do {
            p = {0.14f + 0.72f * unit(rng), 0.03f + 0.94f * unit(rng)};
        } while (!clear(p));
        const float a = 6.2831853f * unit(rng), speed = 1.3f * unit(rng);
        Place(p.x, p.y, speed * std::cos(a), speed * std::sin(a));
        // Every twentieth shot runs long enough to see a ball at rest.
        const int frames = shot % 20 == 0 ? 700 : 160;
        Vec2 mark = p;
        int markFrame = 0;
        for (int f = 0; f < frames; ++f) {
            Frames(1);
            const MainBall& b = Ball();
            if (!b.Enabled())
                break;  // held by the kick-out hole
            if (InDrain(b.position) || b.position.y < -0.5f) {
                ++drained;
                break;
            }
            if (Escaped(b.position)) {
                ++escapes;
                ADD_FAILURE() << "shot " << shot << " from " << p.x << " " << p.y << " left at "
                              << b.position.x << " " << b.position.y;
                break;
            }
            const bool excused = b.position.x > 0.805f && b.position.y > 0.8f;  // on the plunger
            if (excused || std::hypot(b.position.x - mark.x, b.position.y - mark.y) >= 0.001f) {
                mark = b.position;
                markFrame = f;
            } else if (f - markFrame >= int(5.0f / kDt)) {
                ++stuck;
                ADD_FAILURE() << "shot " << shot << " rests at " << b.position.x << " "
                              << b.position.y;
                break;
            }
        }
    }
    std::printf("shots %d, drained %d, escapes %d, stuck %d\n", shots, drained, escapes, stuck);
    EXPECT_EQ(escapes, 0);
    EXPECT_EQ(stuck, 0);
}

}  // namespace
