// Each table's rule set played shot by shot: the goals in order, the gates
// they open, the holes that hold the ball, the ramp, and multiball.
#include "tests/assets/table_fixture.h"

namespace {

class Rules : public TableFixture {
protected:
    // A shot straight up at a round target from just below it.
    void HitFromBelow(const std::string& target) {
        const Vec2 c = Centre(target);
        Place(c.x, c.y + 0.06f, 0.0f, -0.8f);
        Frames(40);
    }
};

// COSMOS: roll the lanes from left to right, then the hole starts multiball.
TEST_F(Rules, CosmosLanesInOrderThenTheHoleStartMultiball) {
    Start(0);
    EXPECT_TRUE(shown_.Shown("t0 lanes")) << "the first goal is shown at the start";
    const float lanes[3] = {0.45f, 0.55f, 0.65f};
    for (float x : lanes) {
        const int score = Score();
        Place(x, 0.11f, 0.0f, 0.2f);
        Frames(60);
        EXPECT_GT(Score(), score) << "lane at " << x;
    }
    EXPECT_TRUE(shown_.Shown("t0 hole"));
    const int before = sim_.table().BallCount();
    Place(0.27f, 0.45f, 0.0f, 0.3f);
    Frames(30);
    EXPECT_EQ(sim_.table().BallCount(), before + 1);
    EXPECT_FALSE(Ball().Enabled()) << "the hole holds the ball for a moment";
    EXPECT_TRUE(shown_.Shown("multiball"));
    EXPECT_TRUE(shown_.Shown("t0 multiball"));
    Frames(150);
    EXPECT_TRUE(Ball().Enabled());
}

// COSMOS: every fourth hit of the lower bumper opens the orbit gate a while.
TEST_F(Rules, CosmosBumperHitsOpenTheOrbitGateForEightSeconds) {
    Start(0);
    ASSERT_TRUE(Form("gate")->Enabled());
    for (int hit = 0; hit < 4; ++hit) {
        EXPECT_TRUE(Form("gate")->Enabled()) << "open after " << hit << " hits";
        Place(0.47f, 0.38f, 0.0f, 0.3f);
        Frames(25);
    }
    EXPECT_FALSE(Form("gate")->Enabled());
    EXPECT_TRUE(shown_.Shown("t0 gate"));
    Frames(int(9.0f / kDt));
    EXPECT_TRUE(Form("gate")->Enabled());
}

// VOLCANO: H, O and T in turn open the crater for fifteen seconds (a hit out
// of turn counts for nothing); shot up into the open crater, the ball is
// held, scores the eruption and comes back out below the gate; the closed
// gate turns it away.
TEST_F(Rules, VolcanoTargetsInTurnOpenTheCraterThatHoldsTheBallOnlyWhileOpen) {
    Start(1);
    EXPECT_TRUE(shown_.Shown("t1 targets"));
    const Vec2 gate = Form("crater gate")->Vertex(0);
    const float cx = Centre("crater gate").x;
    Place(cx, gate.y + 0.06f, 0.0f, -1.0f);
    Frames(60);
    EXPECT_TRUE(Ball().Enabled());
    EXPECT_LT(Score(), 15000);
    HitFromBelow("target 2");
    HitFromBelow("target 3");
    EXPECT_TRUE(Form("crater gate")->Enabled()) << "out of turn";
    HitFromBelow("target 1");
    HitFromBelow("target 2");
    EXPECT_TRUE(Form("crater gate")->Enabled()) << "two of three";
    HitFromBelow("target 3");
    ASSERT_FALSE(Form("crater gate")->Enabled());
    EXPECT_TRUE(shown_.Shown("t1 crater"));
    const int before = Score();
    Place(cx, gate.y + 0.06f, 0.0f, -1.0f);
    Frames(30);
    EXPECT_FALSE(Ball().Enabled());
    EXPECT_GE(Score(), before + 15000);
    EXPECT_TRUE(shown_.Shown("eruption"));
    Frames(150);
    ASSERT_TRUE(Ball().Enabled());
    EXPECT_GT(Ball().position.y, gate.y);
    // 1.8 s after the opening, then 12 s more: still open; 2 s more: closed.
    Frames(int(12.0f / kDt));
    EXPECT_FALSE(Form("crater gate")->Enabled());
    Frames(int(2.0f / kDt));
    EXPECT_TRUE(Form("crater gate")->Enabled());
}

// VOLCANO: the lava tube takes the ball at its mouth and drops it above the
// left inlane, moving down; every third ride is a super ramp.
TEST_F(Rules, VolcanoLavaTubeReturnsTheBallToTheLeftInlane) {
    Start(1);
    const Vec2 mouth = Centre("ramp sensor");
    int supers = 0;
    for (int ride = 1; ride <= 3; ++ride) {
        const int before = Score();
        Place(mouth.x, mouth.y + 0.18f, 0.0f, -1.0f);
        Frames(25);
        EXPECT_FALSE(Ball().Enabled()) << "ride " << ride;
        Frames(95);
        ASSERT_TRUE(Ball().Enabled()) << "ride " << ride;
        EXPECT_LT(Ball().position.x, 0.30f);
        EXPECT_GT(Ball().velocity.y, 0.0f);
        supers += Score() - before >= 25000;
        Frames(100);  // down the inlane, not lost yet
        EXPECT_FALSE(InDrain(Ball().position));
    }
    EXPECT_EQ(supers, 1);
    EXPECT_TRUE(shown_.Shown("superramp"));
}

// ABYSS: the orbit lights the lock; the third lit lock starts a three-ball
// multiball, and then every bumper hit is a jackpot.
TEST_F(Rules, AbyssOrbitsAndLocksStartMultiballWithJackpots) {
    Start(2);
    const Vec2 hole = Centre("lock sensor");
    auto lock = [&] {
        Place(hole.x, hole.y - 0.04f, 0.0f, 0.3f);
        Frames(30);
        EXPECT_FALSE(Ball().Enabled()) << "the kraken holds the ball";
        Frames(200);
    };
    auto orbit = [&] {
        const Vec2 lane = Centre("orbit sensor");
        Place(lane.x, lane.y + 0.12f, 0.0f, -1.2f);
        Frames(40);
    };
    EXPECT_TRUE(shown_.Shown("t2 orbit"));
    lock();  // not lit: only the kick-out
    lock();
    lock();
    EXPECT_EQ(sim_.table().BallCount(), 1);
    for (int k = 0; k < 3; ++k) {
        orbit();
        EXPECT_TRUE(shown_.Shown("t2 lock"));
        EXPECT_EQ(sim_.table().BallCount(), 1);
        lock();
    }
    EXPECT_EQ(sim_.table().BallCount(), 3);
    EXPECT_TRUE(shown_.Shown("kraken"));
    const Vec2 b = Centre("bumper 3");
    const int before = Score();
    Place(b.x, b.y - 0.075f, 0.0f, 0.3f);
    Frames(20);
    EXPECT_GE(Score() - before, 1000);
    EXPECT_TRUE(Element("bumper 3 jackpot")->Enabled());
    Frames(int(21.0f / kDt));
    EXPECT_FALSE(Element("bumper 3 jackpot")->Enabled()) << "the jackpot ends after twenty seconds";
}

}  // namespace
