#include <gtest/gtest.h>

#include <cmath>

#include "physics/handle.h"
#include "physics/spring.h"
#include "tests/physics/physics_fixture.h"

namespace {

class Flipper : public PhysicsTest {
protected:
    // A flat flipper form pointing right from its pivot (0.5, 0.5), driven by
    // RIGHTHANDLE (control 1: it turns anticlockwise on screen, tip rising).
    void SetUp() override {
        PhysicsTest::SetUp();
        form = Add<CollisionForm>(
            "atX = 0.5; atY = 0.5; Line { toX = 0.6; toY = 0.5; };; Line { toX = 0.5; toY = 0.5; "
            "};;");
        flipper = Add<Handle>("control = 1; form = 0; maxangle = 0.5;");
    }

    // The ball's velocity after one rising frame of the flipper, the ball
    // resting just above the flipper at distance x from the pivot.
    Vec2 KickAt(float x) {
        table.Clear();
        SetUp();
        MainBall* b = Add<MainBall>("radius = 0.02;");
        b->position = {0.5f + x, 0.5f - 0.0205f};
        b->velocity = {0.0f, 0.0f};
        Press("RSHIFT", true);
        flipper->Step(0.02f);
        return b->velocity;
    }

    CollisionForm* form = nullptr;
    Handle* flipper = nullptr;
};

TEST_F(Flipper, FullSwingTakesAnEighteenthOfASecond) {
    Press("RSHIFT", true);
    flipper->Step(0.02f);
    EXPECT_EQ(flipper->event_flag, 1);
    // Control 1 turns with sign -1: a = -maxangle × dp.
    EXPECT_TRUE(form->rotating);
    EXPECT_FLOAT_EQ(form->angularSpeed * 0.02f, -0.5f * 0.36f);
    flipper->Step(0.02f);
    EXPECT_EQ(flipper->event_flag, 0);  // one event per press
    EXPECT_LT(flipper->p, 1.0f);
    flipper->Step(0.02f);
    EXPECT_EQ(flipper->p, 1.0f);
    EXPECT_EQ(flipper->motion, MOTION_RISING);
    flipper->Step(0.02f);
    EXPECT_EQ(flipper->motion, MOTION_STILL);
    EXPECT_FALSE(form->rotating);
    Press("RSHIFT", false);
    flipper->Step(0.02f);
    EXPECT_EQ(flipper->motion, MOTION_FALLING);
    Press("RSHIFT", true);
    flipper->Step(0.02f);
    EXPECT_EQ(flipper->event_flag, 1);  // a new press, a new event
}

TEST_F(Flipper, TiltModeMakesTheFlipperFallAndIgnoreItsControl) {
    flipper->p = flipper->previousP = 1.0f;
    table.tiltMode = true;
    Press("RSHIFT", true);
    flipper->Step(0.02f);
    EXPECT_FLOAT_EQ(flipper->p, 1.0f - 0.36f);
    EXPECT_EQ(flipper->event_flag, 0);
}

TEST_F(Flipper, KickGrowsWithDistanceFromThePivotAndARestingFlipperDoesNotKick) {
    const Vec2 near = KickAt(0.02f);
    const Vec2 far = KickAt(0.08f);
    EXPECT_LT(near.y, 0.0f);
    EXPECT_LT(far.y, near.y);
    EXPECT_GT(Length(far), 3.0f * Length(near));
    EXPECT_EQ(form->event_flag, 1);
    Press("RSHIFT", false);
    table.Clear();
    SetUp();
    MainBall* b = Add<MainBall>("radius = 0.02;");
    b->position = {0.58f, 0.5f - 0.0205f};
    b->velocity = {0.0f, 0.0f};
    flipper->Step(0.02f);
    EXPECT_EQ(b->velocity.y, 0.0f);
    EXPECT_EQ(form->event_flag, 0);
}

TEST_F(Flipper, FormIndexOfAnotherKindLeavesOnlyTheAnimation) {
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
