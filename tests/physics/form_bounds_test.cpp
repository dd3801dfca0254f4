// The ball meets forms through the table's index of their bounding circles:
// forms that move or change in the list after the index was made are met
// where and in the order they are now.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "physics/collision_form.h"
#include "tests/physics/physics_fixture.h"

namespace {

class FormBounds : public PhysicsTest {
protected:
    // A ball of radius 0.02 at p moving with v for time 0.1.
    BallMotion Move(Table& t, Vec2 p, Vec2 v) {
        BallMotion ball{p, v, 0.02f, nullptr};
        MoveAndCollide(t, &ball, 0.1f);
        return ball;
    }

    void Reload(CollisionForm* form, const std::string& body) {
        std::string text = "X { " + body + " };;";
        ZarnikScr scr(text.data(), int(text.size()));
        form->Load(SubBlock(WholeScript(scr), 1));
    }
};

TEST_F(FormBounds, FormsMovedAfterTheFirstMoveAreMetWhereTheyAreNow) {
    // Each form starts far from the ball's path (its old circle is out of
    // reach) and is then brought onto it.
    CollisionForm* reloaded = Segment(0.1f, 0.1f, 0.3f, 0.1f, "COLLISION_STOP");
    CollisionForm* shifted = Segment(0.4f, 0.1f, 0.6f, 0.1f, "COLLISION_STOP");
    // An arm from (0.1, 0.3) turned a quarter clockwise about its first end.
    CollisionForm* turned =
        Segment(0.1f, 0.3f, 0.5f, 0.3f, "COLLISION_STOP", "atX = 0.1; atY = 0.3;");
    const Vec2 down{0.0f, 1.0f}, left{-1.0f, 0.0f};
    EXPECT_EQ(Move(table, {0.2f, 0.6f}, down).contact, nullptr);
    EXPECT_EQ(Move(table, {0.5f, 0.6f}, down).contact, nullptr);
    EXPECT_EQ(Move(table, {0.16f, 0.65f}, left).contact, nullptr);

    // One at a time, each after the ball has moved since the last.
    Reload(reloaded,
           "c_type = \"COLLISION_STOP\"; Line { toX = 0.1; toY = 0.7; };; "
           "Line { toX = 0.3; toY = 0.7; };;");
    BallMotion b = Move(table, {0.2f, 0.6f}, down);
    EXPECT_EQ(b.contact, reloaded);
    EXPECT_NEAR(b.position.y, 0.68f, 1e-5f);
    shifted->ShiftY(0.6f);
    b = Move(table, {0.5f, 0.6f}, down);
    EXPECT_EQ(b.contact, shifted);
    EXPECT_NEAR(b.position.y, 0.68f, 1e-5f);
    turned->rotating = true;
    turned->angularSpeed = 1.5707964f;
    turned->Step(1.0f);
    b = Move(table, {0.16f, 0.65f}, left);
    EXPECT_EQ(b.contact, turned);
    EXPECT_NEAR(b.position.x, 0.12f, 1e-5f);
}

TEST_F(FormBounds, ListChangesAfterTheFirstMoveKeepTheListOrder) {
    // Two forms on the same line: the first in the list takes the hit.
    CollisionForm* stop = Segment(0.3f, 0.5f, 0.7f, 0.5f, "COLLISION_STOP");
    CollisionForm* bounce = Segment(0.3f, 0.5f, 0.7f, 0.5f, "COLLISION_BOUNCE");
    const Vec2 at{0.5f, 0.45f}, down{0.0f, 1.0f};
    EXPECT_EQ(Move(table, at, down).contact, stop);
    ASSERT_TRUE(table.SwapElements(0, 1));
    EXPECT_EQ(Move(table, at, down).contact, bounce);
    bounce->SetEnabled(false);
    EXPECT_EQ(Move(table, at, down).contact, stop);
    bounce->SetEnabled(true);
    // Removed, the form is gone from the index too (the sanitizer build
    // catches a look at the freed form).
    ASSERT_TRUE(table.RemoveElement(0));
    EXPECT_EQ(Move(table, at, down).contact, stop);
    CollisionForm* added = Segment(0.3f, 0.48f, 0.7f, 0.48f, "COLLISION_SLIDE");
    ASSERT_TRUE(table.SwapElements(0, 1));
    EXPECT_EQ(Move(table, at, down).contact, added);
}

TEST_F(FormBounds, ABallAmongManyFormsMovesAsWithItsOwnFormAlone) {
    // An 8 x 8 grid of closed squares, each thrown at from a different side:
    // among all the others the ball ends exactly where it does against the
    // one form alone.
    auto square = [](int i) {
        const float cx = 0.08f + 0.12f * float(i % 8), cy = 0.08f + 0.12f * float(i / 8);
        char body[512];
        std::snprintf(body, sizeof(body),
                      "f_type = \"CLOSED\"; c_type = \"COLLISION_COMBINE\"; k_bounce = 0.7; "
                      "Line { toX = %.4f; toY = %.4f;};; Line { toX = %.4f; toY = %.4f;};; "
                      "Line { toX = %.4f; toY = %.4f;};; Line { toX = %.4f; toY = %.4f;};;",
                      double(cx - 0.015f), double(cy - 0.015f), double(cx + 0.015f),
                      double(cy - 0.015f), double(cx + 0.015f), double(cy + 0.015f),
                      double(cx - 0.015f), double(cy + 0.015f));
        return std::string(body);
    };
    for (int i = 0; i < 64; ++i)
        Add<CollisionForm>(square(i));
    const Vec2 throws[4] = {{0.5f, 0.1f}, {-0.1f, 0.5f}, {-0.5f, -0.1f}, {0.1f, -0.5f}};
    for (int i = 0; i < 64; ++i) {
        SCOPED_TRACE(i);
        Table alone{7};
        auto form = std::make_unique<CollisionForm>(alone);
        Reload(form.get(), square(i));
        alone.AppendElement(std::move(form));
        const Vec2 v = throws[i % 4];
        const Vec2 p{0.08f + 0.12f * float(i % 8) - 0.08f * v.x,
                     0.08f + 0.12f * float(i / 8) - 0.08f * v.y};
        const BallMotion among = Move(table, p, v);
        const BallMotion single = Move(alone, p, v);
        ASSERT_NE(single.contact, nullptr);
        EXPECT_EQ(among.contact, table.Element(i));
        EXPECT_EQ(among.position.x, single.position.x);
        EXPECT_EQ(among.position.y, single.position.y);
        EXPECT_EQ(among.velocity.x, single.velocity.x);
        EXPECT_EQ(among.velocity.y, single.velocity.y);
    }
}

}  // namespace
