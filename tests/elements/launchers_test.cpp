#include "elements/ball_launchers.h"
#include "tests/elements/elements_fixture.h"

namespace {

using Launchers = ElementsTest;

TEST_F(Launchers, GeneratorAddsABallAtItsPointPerActivationAndNoneWithoutABall) {
    BallGenerator* idle = Add<BallGenerator>("");
    idle->Activate();
    EXPECT_EQ(table.ElementCount(), 1);
    Add<MainBall>("radius = 0.02;");
    BallGenerator* gen =
        Add<BallGenerator>("atX = 0.25; atY = 0.4; speedX = 0.0; speedY = -1.0; speedValue = 0.5;");
    const int inPlay = table.ballsInPlay;
    for (int i = 0; i < 3; ++i)
        gen->Activate();
    ASSERT_EQ(table.ElementCount(), 6);
    EXPECT_EQ(table.ballsInPlay, inPlay + 3);
    for (int i = 3; i < 6; ++i) {
        const auto* ball = dynamic_cast<MainBall*>(table.Element(i));
        ASSERT_NE(ball, nullptr);
        EXPECT_TRUE(ball->Enabled() && ball->generated);
        EXPECT_FLOAT_EQ(ball->position.x, 0.25f);
        EXPECT_FLOAT_EQ(ball->velocity.y, -0.5f);
        EXPECT_FLOAT_EQ(ball->radius, 0.02f);
    }
    // A generator fired every frame stops adding at the table's bound.
    for (int i = 0; i < 100; ++i)
        gen->Activate();
    EXPECT_EQ(table.BallCount(), Table::kMaxBalls);
    EXPECT_EQ(table.ballsInPlay, inPlay + Table::kMaxBalls - 1);
}

TEST_F(Launchers, TeleporterHoldsEachBallOnceAndReleasesThemIndependently) {
    MainBall* a = Add<MainBall>("");
    MainBall* b = Add<MainBall>("");
    Teleporter* tele = Add<Teleporter>(
        "atX = 0.1; atY = 0.2; speedX = 1.0; speedY = 0.0; speedValue = 0.0; "
        "timeToRelease = 0.5;");
    tele->ball_index = 0;
    tele->Activate();
    tele->Step(0.25f);
    tele->Activate();
    tele->ball_index = 1;
    tele->Activate();
    EXPECT_EQ(tele->held.Count, 2);
    EXPECT_FALSE(a->Enabled() || b->Enabled());
    tele->Step(0.25f);
    EXPECT_TRUE(a->Enabled()) << "0.5 s after its first activation";
    EXPECT_FALSE(b->Enabled());
    EXPECT_FLOAT_EQ(a->position.y, 0.2f);
    EXPECT_FLOAT_EQ(a->velocity.x, 0.0f) << "speedValue 0: at rest";
    tele->Step(0.25f);
    EXPECT_TRUE(b->Enabled());
    EXPECT_EQ(tele->held.Count, 0);
}

// Indices that name no ball are ignored; a held ball is found again after
// an earlier element went.
TEST_F(Launchers, TeleporterHoldsOnlyBallsAndFindsThemAgainAfterAnEarlierElementWent) {
    Add<Dummy>("");
    MainBall* ball = Add<MainBall>("temp = 1;");
    Probe* bystander = AddProbe(false);  // takes the ball's index once the dummy goes
    Teleporter* tele = Add<Teleporter>("timeToRelease = 0.1;");
    for (int index : {-1, 0, 2, 3, 1000, 1}) {
        tele->ball_index = index;
        tele->Activate();
    }
    EXPECT_EQ(tele->held.Count, 1);
    table.QueueRemoval(0);
    Update(0.05f);
    ASSERT_EQ(table.Element(0), ball);
    tele->Step(0.1f);
    EXPECT_TRUE(ball->Enabled());
    EXPECT_FALSE(bystander->Enabled());
}

}  // namespace
