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
        WriteFile(dir.File("grid.bmp"), SolidBmp(160, 192, 0xFFFFFFu));
        WriteFile(dir.File("fonts.script"), "font { fontname = \"msgfnt\"; filename = \"" +
                                                dir.File("grid.bmp") + "\"; };\n");
        ASSERT_TRUE(LoadFontList(dir.File("fonts.script").c_str()));
    }
    void TearDown() override { ReleaseFontList(); }

    // Steps of 1/8 s until the string pauses; false when it never does.
    static bool RunToPause(TravelingString* s, int maxSteps) {
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
    ASSERT_EQ(s->text_width, 50);
    EXPECT_FLOAT_EQ(s->atX, -50.0f / 800.0f) << "right edge at the screen's left edge";
    ASSERT_TRUE(RunToPause(s, 10));
    EXPECT_GT(s->atX, s->midpoint);
    const float pausedAt = s->atX;
    for (int i = 0; i < 24; ++i)
        s->Step(0.125f);
    EXPECT_FLOAT_EQ(s->atX, pausedAt) << "3 s still";
    for (int i = 0; i < 9 && s->active; ++i)
        s->Step(0.125f);
    EXPECT_EQ(s->active, 0);
    EXPECT_GT(s->atX, 1.0f);
}

TEST_F(Texts, UnswitchedStringStartsOverFromTheRight) {
    TravelingString* s =
        Add<TravelingString>("message = \"AB\"; type = 2; tspeedX = 2.0; atY = 0.1;");
    EXPECT_FLOAT_EQ(s->atX, 1.0f);
    ASSERT_TRUE(RunToPause(s, 10));
    bool restarted = false;
    for (int i = 0; i < 34 && !restarted; ++i) {
        s->Step(0.125f);
        restarted = s->atX == 1.0f;
    }
    EXPECT_TRUE(restarted);
    EXPECT_TRUE(RunToPause(s, 10));
}

TEST_F(Texts, ShowLinePastTheLastTextKeepsTheTextAndRestartsThePass) {
    TravelingString* s = Add<TravelingString>(
        "message = \"first\"; type = 1; tspeedX = 1.0; SimpleMessage { string = \"one\"; };; "
        "SimpleMessage { string = \"three\"; };;");
    s->ShowLine(1);
    s->Step(0.125f);
    s->ShowLine(2);
    EXPECT_EQ(s->message, "three");
    EXPECT_FLOAT_EQ(s->atX, -50.0f / 800.0f);
    EXPECT_FALSE(s->ShowMessage(""));
    EXPECT_TRUE(s->ShowMessage("0123456789"));
    EXPECT_EQ(s->text_width, 100);
}

TEST_F(Texts, UnknownFontDrawsNothingAndOverlongTextsAreCut) {
    TextMessage* m = Add<TextMessage>("font = \"MsgFnt\"; message = \"hi\";");
    EXPECT_FALSE(m->ShowMessage("new")) << "font names match with case";
    int x, y;
    EXPECT_FALSE(m->GetAnchor(&x, &y));
    m->Draw(display.BackPicture(), 0, 0);

    const std::string longText(400, 'x');
    TravelingString* s =
        Add<TravelingString>(Frames(1) + "fileend = \".bmp.longer\"; message = \"" + longText +
                             "\"; name = \"" + longText + "\";");
    EXPECT_EQ(s->fileend, ".bmp.lo");
    EXPECT_EQ(s->message.size(), 255u);
    EXPECT_EQ(s->elementName.size(), 31u);
    EXPECT_TRUE(s->ShowMessage(std::string(300, 'y').c_str()));
    EXPECT_EQ(s->message.size(), 255u);
}

TEST_F(Texts, NextBallAndTiltMessagesGoThroughTheRegisteredString) {
    MainBall* ball = Add<MainBall>("");
    TravelingString* next = Add<TravelingString>("name = \"nextball\"; active = 0;");
    table.ball_count = 3;
    table.currentBallNumber = 1;
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
}

}  // namespace

namespace {

TEST_F(Texts, WelcomeStringStartsAtRandomOnlyWhenItHasTexts) {
    TravelingString* silent = Add<TravelingString>("name = \"welcome\"; active = 0;");
    for (int i = 0; i < 20000; ++i)
        Update();
    EXPECT_EQ(silent->active, 0);
    TravelingString* welcome = Add<TravelingString>(
        "name = \"welcome\"; active = 0; SimpleMessage { string = \"one\"; };; "
        "SimpleMessage { string = \"two\"; };;");
    int frames = 0;
    for (; welcome->active == 0 && frames < 40000; ++frames)
        Update();
    EXPECT_EQ(welcome->active, 1) << "20 in 32768 a frame";
    EXPECT_GT(frames, 10);
    EXPECT_TRUE(welcome->message == "one" || welcome->message == "two");
}

}  // namespace
