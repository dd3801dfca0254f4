#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "physics/collision_form.h"
#include "tests/physics/physics_fixture.h"
#include "tests/render/render_fixture.h"

namespace {

class Collision : public PhysicsTest {
protected:
    // A ball of radius 0.02 at p moving with v, moved for time h.
    BallMotion Move(Vec2 p, Vec2 v, float h) {
        BallMotion ball{p, v, 0.02f, nullptr};
        MoveAndCollide(table, &ball, h);
        return ball;
    }
};

TEST_F(Collision, EachTypeRespondsWithItsOwnVelocity) {
    // Reaches the line within the step: the first hit decides the velocity and
    // the ball moves away without a second. Destroy and teleport keep pressing
    // the ball into the line until the seventh hit stops it there.
    struct Case {
        const char* type;
        Vec2 start, velocity, expected;
        float h;
    } cases[] = {
        {"COLLISION_COMBINE", {0.5f, 0.45f}, {0.3f, 0.4f}, {0.3f, -0.2f}, 0.1f},
        {"COLLISION_BOUNCE", {0.5f, 0.45f}, {0.3f, 0.4f}, {0.15f, -0.2f}, 0.1f},
        {"COLLISION_SLIDE", {0.5f, 0.45f}, {0.3f, 0.4f}, {0.15f, 0.0f}, 0.1f},
        {"COLLISION_STOP", {0.5f, 0.45f}, {0.3f, 0.4f}, {0.0f, 0.0f}, 0.1f},
        {"COLLISION_DESTROY", {0.5f, 0.4f}, {0.0f, 1.0f}, {0.0f, 0.0f}, 0.2f},
        {"COLLISION_TELEPORT", {0.5f, 0.4f}, {0.0f, 1.0f}, {0.0f, 0.0f}, 0.2f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        table.Clear();
        CollisionForm* form =
            Segment(0.2f, 0.5f, 0.8f, 0.5f, c.type, "k_bounce = 0.5; k_slide = 0.5;");
        BallMotion b = Move(c.start, c.velocity, c.h);
        EXPECT_NEAR(b.velocity.x, c.expected.x, 1e-6f);
        EXPECT_NEAR(b.velocity.y, c.expected.y, 1e-6f);
        EXPECT_EQ(b.contact, form);
        EXPECT_EQ(form->event_flag, 1);
        if (c.h > 0.15f)
            EXPECT_NEAR(b.position.y, 0.48f, 1e-6f);
        else
            EXPECT_LE(b.position.y, 0.48f + 1e-6f);
    }
}

TEST_F(Collision, EndsReachSixThousandthsFurtherAndTouchingBallsArePushedOutToTheRadius) {
    CollisionForm* form = Segment(0.4f, 0.5f, 0.6f, 0.5f, "COLLISION_STOP");
    for (float x : {0.605f, 0.395f, 0.607f, 0.393f})
        EXPECT_EQ(Move({x, 0.4f}, {0.0f, 1.0f}, 0.1f).contact,
                  std::fabs(x - 0.5f) < 0.106f ? form : nullptr)
            << x;
    // Centre 0.015 above the line, radius 0.02, moving into it.
    BallMotion b = Move({0.5f, 0.485f}, {0.0f, 1.0f}, 0.05f);
    EXPECT_NEAR(0.5f - b.position.y, 0.02f, 1e-7f);  // to the float grid of 0.48
    EXPECT_EQ(b.velocity.y, 0.0f);
    // Moving away from it: no hit.
    BallMotion away = Move({0.5f, 0.485f}, {0.0f, -1.0f}, 0.05f);
    EXPECT_EQ(away.contact, nullptr);
    EXPECT_FLOAT_EQ(away.position.y, 0.435f);
}

TEST_F(Collision, SixHitsLetTheBallGoOnButTheSeventhStopsIt) {
    // Two walls 0.06 apart: a ball of radius 0.02 bounces every 0.02 of travel.
    Segment(0.0f, 0.50f, 1.0f, 0.50f, "COLLISION_BOUNCE", "k_bounce = 1.0;");
    Segment(0.0f, 0.56f, 1.0f, 0.56f, "COLLISION_BOUNCE", "k_bounce = 1.0;");
    // First contact after 0.01, then one every 0.02.
    BallMotion six = Move({0.5f, 0.53f}, {0.0f, 1.0f}, 0.01f + 5 * 0.02f + 0.005f);
    EXPECT_NE(six.velocity.y, 0.0f);
    BallMotion seven = Move({0.5f, 0.53f}, {0.0f, 1.0f}, 0.01f + 6 * 0.02f + 0.005f);
    EXPECT_EQ(seven.velocity.y, 0.0f);
    EXPECT_EQ(seven.velocity.x, 0.0f);
    // Stopped at the seventh contact: against the lower wall (first hit was the lower one).
    EXPECT_NEAR(seven.position.y, 0.54f, 1e-5f);
}

TEST_F(Collision, NoneFormRecordsTheHitAndLetsTheBallThrough) {
    auto ball = std::make_unique<MainBall>(table);
    MainBall* raw = ball.get();
    table.AppendElement(std::move(ball));
    table.currentBall = raw;
    CollisionForm* none = Segment(0.2f, 0.5f, 0.8f, 0.5f, "COLLISION_NONE");
    BallMotion b = Move({0.5f, 0.45f}, {0.0f, 1.0f}, 0.1f);
    EXPECT_FLOAT_EQ(b.position.y, 0.55f);
    EXPECT_EQ(b.velocity.y, 1.0f);
    EXPECT_EQ(b.contact, none);
    EXPECT_EQ(none->event_flag, 1);
    EXPECT_EQ(none->ball_index, 0);
}

TEST_F(Collision, FirstEnabledLoadedFormInListOrderWinsAPass) {
    CollisionForm* off = Segment(0.2f, 0.5f, 0.8f, 0.5f, "COLLISION_STOP");
    off->SetEnabled(false);
    auto bare = std::make_unique<CollisionForm>(table);
    bare->SetEnabled(true);  // defaults but never loaded: no bounding circle
    table.AppendElement(std::move(bare));
    EXPECT_EQ(Move({0.5f, 0.45f}, {0.0f, 1.0f}, 0.1f).contact, nullptr);
    CollisionForm* first = Segment(0.2f, 0.5f, 0.8f, 0.5f, "COLLISION_STOP");
    CollisionForm* second = Segment(0.2f, 0.5f, 0.8f, 0.5f, "COLLISION_STOP");
    EXPECT_EQ(Move({0.5f, 0.45f}, {0.0f, 1.0f}, 0.1f).contact, first);
    EXPECT_EQ(second->event_flag, 0);
}

TEST_F(Collision, ClosedFormCountsTheClosingSegment) {
    const std::string tri =
        "Line { toX = 0.1; toY = 0.1; };; Line { toX = 0.3; toY = 0.1; };; "
        "Line { toX = 0.2; toY = 0.3; };;";
    EXPECT_EQ(Add<CollisionForm>("f_type = \"CLOSED\"; " + tri)->segmentCount, 3);
    EXPECT_EQ(Add<CollisionForm>("f_type = \"OPENED\"; " + tri)->segmentCount, 2);
    // An unknown name keeps the previous index.
    CollisionForm* odd = Add<CollisionForm>("f_type = \"closed\"; c_type = \"BOUNCE\"; " + tri);
    EXPECT_EQ(odd->f_type, FORM_OPENED);
    EXPECT_EQ(odd->c_type, COLLISION_COMBINE);
}

TEST_F(Collision, RotatingFormTurnsClockwiseOnScreenAboutItsPivot) {
    CollisionForm* f = Add<CollisionForm>(
        "atX = 0.5; atY = 0.5; Line { toX = 0.6; toY = 0.5; };; Line { toX = 0.5; toY = 0.5; };;");
    f->rotating = true;
    f->angularSpeed = 1.5707964f;
    f->Step(1.0f);
    EXPECT_NEAR(f->vertices[0].x, 0.5f, 1e-6f);
    EXPECT_NEAR(f->vertices[0].y, 0.6f, 1e-6f);
    f->rotating = false;
    f->Step(1.0f);
    EXPECT_NEAR(f->vertices[0].y, 0.6f, 1e-6f);
}

}  // namespace
