// Every generated table as a player meets it: the launch, the flippers, and
// no way out of the playfield but the drain (the bumpers and goals are in
// the rules tests). Runs on the data the build generated.

#include <filesystem>

#include "tests/assets/table_fixture.h"
#include "tools/zarnik-sim/random_shots.h"

namespace {

constexpr int kTables = 3;

class TablePlay : public TableFixture, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override { Start(GetParam(), recording_); }
    std::string recording_;
};

// A player's launch, played from a recording: the first ball waits on the
// plunger, Space is held for a full charge and let go.
class RecordedLaunch : public TablePlay {
protected:
    void SetUp() override {
        recording_ = std::filesystem::absolute("full_launch.rec").string();
        std::ofstream(recording_) << "# full charge\n100 SPRING down\n210 SPRING up\n";
        TablePlay::SetUp();
    }
};

TEST_P(RecordedLaunch, LeavesTheLaneAndTheExitKeepsItOut) {
    for (int i = 0; i < 100; ++i)
        sim_.StepFrame();
    ASSERT_NEAR(Ball().position.x, 0.8325f, 0.01f);
    ASSERT_GT(Ball().position.y, 0.85f);
    float top = 1.0f;
    bool left = false;
    for (int i = 100; i < 700; ++i) {
        sim_.StepFrame();
        const Vec2 p = Ball().position;
        if (p.y < -0.5f || InDrain(p) || !Ball().Enabled())
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

TEST_P(TablePlay, RaisedFlipperHoldsTheBallAndAShotReachesTheUpperThird) {
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
        for (int i = 0; i < 150 && Ball().Enabled(); ++i) {
            Frames(1);
            best = std::fmin(best, Ball().position.y);
        }
    }
    EXPECT_LT(best, 0.33f);
}

// Shots from random points at random speeds up to the speed cap never get
// through the outer wall, and no ball comes to rest on the playfield: the
// search `zarnik-sim --random-shots` runs.
TEST_P(TablePlay, NoShotEscapesAndNoBallGetsStuck) {
    ShotSearchOptions search;
    search.shots = 10000;
    search.seed = 20261206 + GetParam();
    search.dt = kDt;
    search.outline = outline_;
    search.restSeconds = 5.0f;
    const ShotSearchResult r = RandomShotSearch(sim_.table(), sim_.input(), &shown_, search);
    for (const ShotCase& c : r.cases) {
        ADD_FAILURE() << (c.outcome == SHOT_ESCAPED ? "escape" : "at rest") << ": shot " << c.shot
                      << " from " << c.launch.from.x << " " << c.launch.from.y << " at "
                      << c.launch.speed.x << " " << c.launch.speed.y << ", at " << c.at.x << " "
                      << c.at.y << " after " << c.frame + 1 << " frames";
    }
    std::printf("table %d: shots %d, drained %d, held %d, escapes %d, stuck %d\n", GetParam(),
                r.shots, r.drained, r.held, r.escapes, r.stuck);
    EXPECT_EQ(r.shots, search.shots);
    EXPECT_EQ(r.escapes, 0);
    EXPECT_EQ(r.stuck, 0);
}

std::string TableName(const ::testing::TestParamInfo<int>& info) {
    return "t000" + std::to_string(info.param);
}

INSTANTIATE_TEST_SUITE_P(Tables, TablePlay, ::testing::Range(0, kTables), TableName);
INSTANTIATE_TEST_SUITE_P(Tables, RecordedLaunch, ::testing::Range(0, kTables), TableName);

}  // namespace
