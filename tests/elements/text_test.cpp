#include <string>

#include "elements/text_messages.h"
#include "render/font.h"
#include "tests/elements/elements_fixture.h"

namespace {

// A table with the font "msgfnt": a 16 x 16 grid of 10 x 12 pixel glyphs.
class Texts : public ElementsTest {
protected:
    void SetUp() override {
        ElementsTest::SetUp();
        Frames(0);
        WriteFile(dir.File("grid.bmp"), SolidBmp(160, 192, 0xFFFFFFu));
        WriteFile(dir.File("fonts.script"), "font { fontname = \"msgfnt\"; filename = \"" +
                                                dir.File("grid.bmp") + "\"; };\n");
        ASSERT_TRUE(LoadFontList(dir.File("fonts.script").c_str()));
    }
    void TearDown() override { ReleaseFontList(); }

    // Steps until the string pauses; false when it never does.
    bool RunToPause(TravelingString* s, int maxSteps) {
        for (int i = 0; i < maxSteps; ++i) {
            s->Step(0.125f);
            if (s->pause_left > 0.0f)
                return true;
        }
        return false;
    }
};

TEST_F(Texts, TravelingStringEntersPausesHalfWayAndSwitchesOffPastTheEdge) {
    TravelingString* s = Add<TravelingString>(
        "message = \"HELLO\"; type = 1; swiched = 1; tspeedX = 1.0; atY = 0.5;");
    ASSERT_NE(s->GetFont(), nullptr);
    EXPECT_EQ(s->text_width, 50);
    EXPECT_EQ(s->text_height, 12);
    EXPECT_FLOAT_EQ(s->atX, -50.0f / 800.0f) << "right edge at the screen's left edge";
    ASSERT_TRUE(RunToPause(s, 10));
    EXPECT_GT(s->atX, s->midpoint);
    const float pausedAt = s->atX;
    for (int i = 0; i < 24; ++i)
        s->Step(0.125f);
    EXPECT_FLOAT_EQ(s->atX, pausedAt) << "3 s still";
    s->Step(0.125f);
    EXPECT_GT(s->atX, pausedAt);
    for (int i = 0; i < 8 && s->active; ++i)
        s->Step(0.125f);
    EXPECT_EQ(s->active, 0);
    EXPECT_GT(s->atX, 1.0f);
    EXPECT_FALSE(RunToPause(s, 10)) << "an inactive string stays";
}

TEST_F(Texts, UnswitchedStringStartsOverAndPausesAgain) {
    TravelingString* s =
        Add<TravelingString>("message = \"AB\"; type = 2; tspeedX = 2.0; atY = 0.1;");
    EXPECT_FLOAT_EQ(s->atX, 1.0f) << "moving left it enters at the right";
    ASSERT_TRUE(RunToPause(s, 10));
    for (int i = 0; i < 24; ++i)
        s->Step(0.125f);
    bool restarted = false;
    for (int i = 0; i < 10 && !restarted; ++i) {
        s->Step(0.125f);
        restarted = s->atX == 1.0f;
    }
    EXPECT_TRUE(restarted);
    EXPECT_EQ(s->active, 1);
    EXPECT_TRUE(RunToPause(s, 10));
}

TEST_F(Texts, VerticalStartTakesTheRectangleIntoAccount) {
    table.screenRect = ScreenRect{0, 100, 800, 500};
    TravelingString* s = Add<TravelingString>("message = \"X\"; type = 4; tspeedY = 1.0;");
    EXPECT_FLOAT_EQ(s->atY, -(12.0f + 100.0f) / 400.0f);
    EXPECT_FLOAT_EQ(s->midpoint, (s->atY + 1.0f) * 0.5f);
}

TEST_F(Texts, ShowLinePastTheLastTextKeepsTheTextAndRestartsThePass) {
    TravelingString* s = Add<TravelingString>(
        "message = \"first\"; type = 1; tspeedX = 1.0; SimpleMessage { string = \"one\"; };; "
        "SimpleMessage { string = \"three\"; };;");
    s->ShowLine(1);
    EXPECT_EQ(s->message, "three");
    EXPECT_EQ(s->text_width, 50);
    s->Step(0.125f);
    s->ShowLine(2);
    EXPECT_EQ(s->message, "three");
    EXPECT_FLOAT_EQ(s->atX, -50.0f / 800.0f);
    EXPECT_FALSE(s->ShowMessage(""));
    EXPECT_TRUE(s->ShowMessage("0123456789"));
    EXPECT_EQ(s->text_width, 100);
}

TEST_F(Texts, UnknownFontDrawsNothingAndRefusesMessages) {
    TextMessage* m = Add<TextMessage>("font = \"MsgFnt\"; message = \"hi\";");
    EXPECT_EQ(m->GetFont(), nullptr) << "font names match with case";
    EXPECT_FALSE(m->ShowMessage("new"));
    EXPECT_EQ(m->message, "hi");
    int x, y;
    EXPECT_FALSE(m->GetAnchor(&x, &y));
    m->Draw(display->BackPicture(), 0, 0);
}

TEST_F(Texts, OverlongTextsAreCutToTheirFields) {
    const std::string longText(400, 'x');
    TravelingString* s = Add<TravelingString>("fileend = \".bmp.longer\"; filestart = \"" +
                                              dir.File("f") + "\"; filecount = 1; message = \"" +
                                              longText + "\"; name = \"" + longText + "\";");
    EXPECT_EQ(s->fileend, ".bmp.lo");
    EXPECT_EQ(s->message.size(), 255u);
    EXPECT_EQ(s->elementName.size(), 31u);
    EXPECT_TRUE(s->ShowMessage(std::string(300, 'y').c_str()));
    EXPECT_EQ(s->message.size(), 255u);
}

TEST_F(Texts, NextBallAndTiltMessagesGoThroughTheRegisteredString) {
    MainBall* ball = Add<MainBall>("");
    TravelingString* next =
        Add<TravelingString>("name = \"nextball\"; active = 0; type = 1; swiched = 1;");
    TravelingString* over = Add<TravelingString>("name = \"gameover\"; active = 0;");
    table.ball_count = 3;
    table.currentBallNumber = 1;
    ASSERT_EQ(table.Message(MESSAGE_NEXTBALL)->LineCount(), 0);
    table.ballsInPlay = 0;
    Update();
    EXPECT_EQ(next->active, 1);
    EXPECT_EQ(next->message, "Ball 02 from 03");
    ball->SetEnabled(false);  // kept from draining while the table is nudged

    for (int press = 0; press < 2; ++press) {
        Press("T", true);
        Update();
        Press("T", false);
        for (int i = 0; i < 80; ++i)
            Update();
    }
    EXPECT_EQ(next->message, "Warning! Don't press tilt anymore!");
    EXPECT_EQ(over->active, 0);

    // Only the newest string of a name holds the role, and one that goes
    // gives it up.
    TravelingString* second = Add<TravelingString>("name = \"nextball\";");
    table.Message(MESSAGE_NEXTBALL)->ShowMessage("again");
    EXPECT_EQ(second->message, "again");
    table.QueueRemoval(table.IndexOf(second));
    Update();
    EXPECT_EQ(table.Message(MESSAGE_NEXTBALL), nullptr);
}

}  // namespace
