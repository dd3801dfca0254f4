#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "physics/main_ball.h"
#include "tests/physics/physics_fixture.h"
#include "tests/render/render_fixture.h"
#include "tests/test_files.h"

namespace {

using Ball = PhysicsTest;

TEST_F(Ball, SpeedIsCutTo1_3ButSubStepsComeFromTheUncutSpeed) {
    MainBall* b =
        Add<MainBall>("radius = 0.03125; startup_position_x = 0.2; startup_position_y = 0.5;");
    b->velocity = {2.0f, -0.04375f};  // gravity over the step brings y to about 0
    b->Step(0.0625f);
    // 2.0 × 0.0625 / 0.03125 = 4 sub-steps; the cut speed would give 3.
    EXPECT_EQ(b->lastSubSteps, 4);
    EXPECT_FLOAT_EQ(Length(b->velocity), 1.3f);
    EXPECT_NEAR(b->position.x, 0.2f + 1.3f * 0.0625f, 1e-5f);
    // Gravity adds once before the sub-steps.
    MainBall* g = Add<MainBall>("startup_position_x = 0.5; startup_position_y = 0.5;");
    g->Step(0.01f);
    EXPECT_FLOAT_EQ(g->velocity.y, 0.007f);
    EXPECT_FLOAT_EQ(g->position.y, 0.5f + 0.007f * 0.01f);
    EXPECT_EQ(g->lastSubSteps, 1);
}

TEST_F(Ball, LostOnlyBelow1_1) {
    MainBall* b = Add<MainBall>("");
    EXPECT_EQ(table.ballsInPlay, 1);
    b->position = {0.5f, 1.1f};
    b->Step(0.0f);
    EXPECT_EQ(table.ballsInPlay, 1);
    b->position = {0.5f, 1.1001f};
    b->Step(0.0f);
    EXPECT_EQ(table.ballsInPlay, 0);
    EXPECT_TRUE(b->position.x == 0.0f && b->position.y == -1.0f) << "parked off the table";
}

TEST_F(Ball, ServingAnnouncesEachBallAndTheLastThenEndsTheGame) {
    FakeMessage next, over;
    table.RegisterMessage(MESSAGE_NEXTBALL, nullptr, &next);
    table.RegisterMessage(MESSAGE_GAMEOVER, nullptr, &over);
    table.ball_count = 3;
    table.currentBallNumber = 1;
    MainBall* b =
        Add<MainBall>("startup_position_x = 0.9; startup_position_y = 0.8; startup_speed_y = 0.5;");
    table.tiltWarnings = 2;
    table.tiltMode = true;
    std::vector<std::string> shown;
    for (int serve = 0; serve < 3; ++serve) {
        table.ballsInPlay = 0;
        b->position = {0.1f, 0.1f};
        b->Step(0.0f);
        shown.push_back(next.shown);
        if (serve == 0) {
            EXPECT_EQ(b->state, BALL_SERVED);
            EXPECT_FLOAT_EQ(b->position.x, 0.9f);
            EXPECT_FLOAT_EQ(b->velocity.y, 0.5f);
            EXPECT_EQ(table.tiltWarnings, 0);
            EXPECT_FALSE(table.tiltMode);
        }
    }
    EXPECT_EQ(shown,
              (std::vector<std::string>{"Ball 02 from 03", "Sorry, but it is your last ball!",
                                        "Sorry, but it is your last ball!"}));
    EXPECT_EQ(b->state, BALL_OUT_OF_BALLS);
    EXPECT_TRUE(over.active);
    EXPECT_EQ(table.currentBallNumber, 3);
    b->position = {0.5f, 0.5f};
    b->Step(0.1f);
    EXPECT_FLOAT_EQ(b->position.y, 0.5f) << "out of balls: nothing moves";
}

TEST_F(Ball, TempBallsWaitOutOfPlayAndLostCopiesGoByTheNextUpdate) {
    MainBall* t = Add<MainBall>("temp = 1;");
    EXPECT_FALSE(t->Enabled());
    EXPECT_EQ(table.ballsInPlay, 0);
    MainBall* primary = Add<MainBall>("");
    std::unique_ptr<MainBall> copy = primary->MakeCopy();
    EXPECT_EQ(table.ballsInPlay, 2);
    EXPECT_FALSE(copy->Enabled());
    EXPECT_TRUE(copy->generated);
    copy->SetEnabled(true);
    MainBall* raw = copy.get();
    table.AppendElement(std::move(copy));
    raw->position = {0.5f, 1.2f};
    raw->Step(0.0f);
    EXPECT_EQ(table.ballsInPlay, 1);
    EXPECT_EQ(table.QueuedRemovals(), 1);
    EXPECT_EQ(table.ElementCount(), 3);
    table.lightShow = false;
    primary->position = {0.5f, 0.5f};
    table.Update(nullptr, 0.0f);
    EXPECT_EQ(table.ElementCount(), 2);
    EXPECT_EQ(table.BallCount(), 2);
    // A generated ball never serves: the primary one is still in play.
    EXPECT_EQ(table.ballsInPlay, 1);
}

TEST_F(Ball, HeadOnExchangeCostsBothBalls40PercentAndCoincidentCentresSkipIt) {
    MainBall* a = Add<MainBall>("radius = 0.025;");
    MainBall* b = Add<MainBall>("radius = 0.025;");
    a->position = {0.5f, 0.5f};
    b->position = {0.56f, 0.5f};
    a->velocity = {1.0f, 0.0f};
    b->velocity = {-1.0f, 0.0f};
    a->Move(0.01f);
    EXPECT_FLOAT_EQ(a->velocity.x, -0.6f);
    EXPECT_FLOAT_EQ(b->velocity.x, 0.6f);
    a->position = b->position = {0.5f, 0.5f};
    a->velocity = {0.3f, 0.0f};
    b->velocity = {0.0f, 0.2f};
    a->Move(0.01f);
    EXPECT_FLOAT_EQ(a->velocity.x, 0.3f);
    EXPECT_FLOAT_EQ(b->velocity.y, 0.2f);
    EXPECT_TRUE(std::isfinite(a->position.x) && std::isfinite(a->position.y));
}

TEST_F(Ball, DrawRefractsTheBackgroundTintsLightsAndShadesInThatOrder) {
    StartDisplay(64, 64);
    ScratchDir dir("ball_draw");
    // 2 x 2 pictures: a flat map bends nothing.
    const std::pair<const char*, std::uint32_t> files[] = {
        {"map.bmp", 0x000080}, {"hi.bmp", 0x0AC81E}, {"img.bmp", 0x646400}, {"sh.bmp", 0x32FA00}};
    for (auto [name, rgb] : files)
        WriteFile(dir.File(name), SolidBmp(2, 2, rgb));
    table.screenRect = {0, 0, 64, 64};
    MainBall* b = Add<MainBall>("opacity = 0.75; refX = 20; refY = 0; shX = 1; shY = 0; dmap = \"" +
                                dir.File("map.bmp") + "\"; dmplus = \"" + dir.File("hi.bmp") +
                                "\"; image = \"" + dir.File("img.bmp") + "\"; shadow = \"" +
                                dir.File("sh.bmp") + "\";");
    b->position = {11.0f / 64.0f, 11.0f / 64.0f};
    Picture* back = display->BackPicture();
    auto paint = [&] {
        display->BackSurface()->Fill(platform::PackColor(display->Format(), 200, 100, 40));
        Picture reflected(2, 2, PICTURE_SURFACE);
        std::fill(reflected.Pixels(), reflected.Pixels() + 4, 0x3C0078u);  // G 0
        reflected.Upload();
        reflected.Draw(back, 31, 12);
    };
    FakeMessage over;
    table.RegisterMessage(MESSAGE_GAMEOVER, nullptr, &over);
    over.active = true;
    paint();
    b->Draw(back, 1, 2);
    EXPECT_EQ(PixelAt(back, 11, 12), 0xC86428u) << "hidden after the game";
    over.active = false;
    b->Draw(back, 1, 2);
    // At (11, 12), half the picture up and left of (11, 11) plus the offset:
    // background (200, 100, 40) blended 255:127 with its reflection (60, 0,
    // 120) gives (228, 0, 98); blended 63:191 with the image (100, 100, 0)
    // gives (130, 74, 0); the highlight adds (10, 200, 30). The shadow, one
    // pixel right, is subtracted from what is drawn there then.
    ExpectPixels(back, {{11, 13, 0x8CFF1Eu},
                        {12, 13, 0x5A051Eu},
                        {13, 12, 0x960428u},
                        {13, 14, 0xC86428u},
                        {10, 13, 0xC86428u}});
}

}  // namespace
