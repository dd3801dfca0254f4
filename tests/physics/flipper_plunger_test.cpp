#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "physics/handle.h"
#include "physics/spring.h"
#include "tests/physics/physics_fixture.h"

namespace {

class Flipper : public PhysicsTest {
protected:
    // A flat flipper form pointing right from its pivot (0.5, 0.5) to its
    // first vertex (0.6, 0.5), maxangle 0.5, fspeed 18 and bspeed 9.
    Handle* Make(int control) {
        table.Clear();
        form = Add<CollisionForm>(
            "atX = 0.5; atY = 0.5; Line { toX = 0.6; toY = 0.5; };; Line { toX = 0.5; toY = 0.5; "
            "};;");
        return Add<Handle>("control = " + std::to_string(control) +
                           "; form = 0; maxangle = 0.5; fspeed = 18.0; bspeed = 9.0;");
    }
    CollisionForm* form = nullptr;
};

TEST_F(Flipper, SwingsAtItsSpeedsWithOneEventPerPressAndTurnsByItsControlsSign) {
    for (int control : {1, 2}) {
        const char* key = control == 1 ? "RSHIFT" : "LSHIFT";
        const float sign = control == 1 ? -1.0f : 1.0f;
        Handle* flipper = Make(control);
        Press(key, true);
        flipper->Step(0.02f);
        EXPECT_EQ(flipper->event_flag, 1);
        EXPECT_FLOAT_EQ(flipper->p, 0.36f);
        EXPECT_TRUE(form->rotating);
        EXPECT_FLOAT_EQ(form->angularSpeed, sign * 0.5f * 0.36f / 0.02f);
        flipper->Step(0.02f);
        EXPECT_EQ(flipper->event_flag, 0) << "one event per press";
        flipper->Step(0.02f);
        EXPECT_EQ(flipper->p, 1.0f) << "a full swing takes 1/18 s";
        flipper->Step(0.02f);
        EXPECT_EQ(flipper->motion, MOTION_STILL);
        EXPECT_FALSE(form->rotating);
        Press(key, false);
        flipper->Step(0.02f);
        EXPECT_EQ(flipper->motion, MOTION_FALLING);
        EXPECT_FLOAT_EQ(flipper->p, 1.0f - 0.18f);
        EXPECT_FLOAT_EQ(form->angularSpeed, sign * 0.5f * -0.18f / 0.02f);
        Press(key, true);
        flipper->Step(0.02f);
        EXPECT_EQ(flipper->event_flag, 1) << "a new press, a new event";
        Press(key, false);
    }
}

TEST_F(Flipper, TiltModeMakesTheFlipperFallAndIgnoreItsControl) {
    Handle* flipper = Make(1);
    flipper->p = flipper->previousP = 1.0f;
    table.tiltMode = true;
    Press("RSHIFT", true);
    flipper->Step(0.02f);
    EXPECT_FLOAT_EQ(flipper->p, 1.0f - 0.18f);
    EXPECT_EQ(flipper->event_flag, 0);
}

TEST_F(Flipper, StrikePushesReflectsAndKicksBallsItsSweepReaches) {
    // One frame of 0.02 s turns the form by 0.18 rising, 0.09 falling (p at
    // 1). A ball of radius 0.02 at p moving at v; expected values worked out
    // from the rule in single precision.
    enum Motion { STILL, RISING, FALLING };
    auto strike = [&](Motion motion, Vec2 p, Vec2 v) {
        Handle* flipper = Make(1);
        MainBall* b = Add<MainBall>("radius = 0.02;");
        b->position = p, b->velocity = v;
        if (motion == FALLING)
            flipper->p = flipper->previousP = 1.0f;
        Press("RSHIFT", motion == RISING);
        flipper->Step(0.02f);
        return std::pair{b->position, b->velocity};
    };
    // Motion, ball position and velocity before, then after.
    const struct {
        Motion motion;
        float px, py, vx, vy, pxAfter, pyAfter, vxAfter, vyAfter;
    } struck[] = {
        // Above, rising: pushed along the normal of the swept line, reflected, kicked by fspeed.
        {RISING, 0.58f, 0.47f, 0.5f, 1.0f, 0.5794347f, 0.4654777f, 0.0598488f, -2.5211878f},
        // Below, falling: kicked by bspeed.
        {FALLING, 0.57f, 0.52f, 0.2f, -0.3f, 0.57f, 0.5263171f, 0.2f, 0.93f},
        // Half a radius past the tip.
        {RISING, 0.6095f, 0.48f, 0.0f, 0.0f, 0.6095f, 0.4600743f, 0.0f, -1.971f},
    };
    for (const auto& c : struck) {
        SCOPED_TRACE(&c - struck);
        auto [p, v] = strike(c.motion, {c.px, c.py}, {c.vx, c.vy});
        EXPECT_NEAR(p.x, c.pxAfter, 2e-6f);
        EXPECT_NEAR(p.y, c.pyAfter, 2e-6f);
        EXPECT_NEAR(v.x, c.vxAfter, 2e-5f);
        EXPECT_NEAR(v.y, c.vyAfter, 2e-5f);
        EXPECT_EQ(form->event_flag, 1);
    }
    // Out of reach, behind the pivot, beyond this frame's sweep, on the side
    // the flipper moves away from, or a flipper at rest: untouched.
    const std::pair<Motion, Vec2> untouched[] = {
        {RISING, {0.6105f, 0.48f}}, {RISING, {0.49f, 0.48f}},  {RISING, {0.58f, 0.45f}},
        {RISING, {0.58f, 0.52f}},   {FALLING, {0.58f, 0.48f}}, {STILL, {0.58f, 0.4795f}}};
    for (auto [motion, position] : untouched) {
        auto [p, v] = strike(motion, position, {});
        EXPECT_TRUE(p.x == position.x && p.y == position.y && v.x == 0.0f && v.y == 0.0f)
            << motion << " " << position.x << ", " << position.y;
        EXPECT_EQ(form->event_flag, 0);
    }
}

TEST_F(Flipper, FormIndexOfAnotherKindLeavesOnlyTheAnimation) {
    Make(1);
    Handle* stray = Add<Handle>("control = 1; form = 1; filecount = 5;");
    Press("RSHIFT", true);
    stray->Step(0.03f);
    EXPECT_EQ(stray->Form(), nullptr);
    EXPECT_EQ(stray->Frame(), int(4 * stray->p));
}

class Plunger : public PhysicsTest {
protected:
    void SetUp() override {
        PhysicsTest::SetUp();
        form =
            Add<CollisionForm>("Line { toX = 0.9; toY = 0.9; };; Line { toX = 1.0; toY = 0.9; };;");
        ball = Add<MainBall>("startup_position_x = 0.95; startup_position_y = 0.85;");
        spring = Add<Spring>(
            "control = 3; form = 0; fspeed = 1.0; bspeed = 1.0; kmax = 1.0; maxangle = 0.04;");
    }

    CollisionForm* form = nullptr;
    MainBall* ball = nullptr;
    Spring* spring = nullptr;
};

TEST_F(Plunger, LoadRaisesTheFormWhichFallsBackToItsScriptPlace) {
    EXPECT_FLOAT_EQ(form->vertices[0].y, 0.86f);
    EXPECT_FLOAT_EQ(spring->p, 1.0f);
    spring->Step(1.0f);
    EXPECT_FLOAT_EQ(spring->p, 0.0f);
    EXPECT_FLOAT_EQ(form->vertices[0].y, 0.9f);
}

TEST_F(Plunger, ReleaseAtHalfChargeLaunchesAtTheGivenVelocity) {
    spring->Step(1.0f);
    Press("SPACE", true);
    spring->Step(0.25f);
    spring->Step(0.25f);
    EXPECT_FLOAT_EQ(spring->charge, 0.5f);
    ball->state = BALL_SERVED;
    ball->position = {0.1f, 0.1f};
    Press("SPACE", false);
    spring->Step(0.1f);
    EXPECT_FLOAT_EQ(ball->velocity.x, -0.05f);
    EXPECT_FLOAT_EQ(ball->velocity.y, -0.75f);
    EXPECT_FLOAT_EQ(ball->position.x, 0.95f);
    EXPECT_EQ(ball->state, BALL_IN_PLAY);
    EXPECT_EQ(spring->event_flag, 0);
    spring->Step(1.0f);  // p would go below 0: the release ends
    EXPECT_EQ(spring->event_flag, 1);
}

TEST_F(Plunger, BallOnTheFormIsServedAndABallWaitingAtLoadGoesWithZeroCharge) {
    ball->contact = form;
    ball->velocity = {0.3f, 0.3f};
    spring->Step(0.1f);
    EXPECT_EQ(ball->state, BALL_IN_PLAY);  // launched in the same fall
    EXPECT_EQ(ball->velocity.x, 0.0f);
    EXPECT_EQ(ball->velocity.y, 0.0f);
    EXPECT_FLOAT_EQ(ball->position.y, 0.85f);
}

TEST_F(Plunger, TiltedOrOtherControlOnlyServesBallsTouchingTheForm) {
    spring->Step(1.0f);
    table.tiltMode = true;
    Press("SPACE", true);
    spring->Step(0.25f);
    EXPECT_FLOAT_EQ(spring->p, 0.0f);
    EXPECT_FALSE(spring->armed);
    table.tiltMode = false;
    Spring* idle = Add<Spring>("control = 0; form = 0; maxangle = 0.0;");
    idle->p = 0.5f;
    ball->previousContact = form;
    idle->Step(0.1f);
    EXPECT_FLOAT_EQ(idle->p, 0.5f);
    EXPECT_EQ(ball->state, BALL_SERVED);
}

}  // namespace
