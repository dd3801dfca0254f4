#include <string>
#include <vector>

#include "elements/text_messages.h"
#include "physics/vec2.h"
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
};

TEST_F(Texts, TravelingStringEntersPausesOnceHalfWayAndSwitchesOffPastTheFarEdge) {
    // "HELLO" is 50 x 12 pixels on 800 x 600: it starts wholly outside its
    // entry edge (x -0.0625, y -0.02, or 1), pauses 3 s (24 steps of 1/8 s)
    // once it passes the middle of its path, and goes off past the far edge.
    struct Case {
        const char* keys;
        Vec2 start, paused, end;
        int steps;
    } cases[] = {
        {"type = 1; tspeedX = 1.0;", {-0.0625f, 0.5f}, {0.5625f, 0.5f}, {1.0625f, 0.5f}, 33},
        {"type = 2; tspeedX = 1.0;", {1.0f, 0.5f}, {0.375f, 0.5f}, {-0.125f, 0.5f}, 33},
        {"type = 4; tspeedY = 1.0;", {0.5f, -0.02f}, {0.5f, 0.605f}, {0.5f, 1.105f}, 33},
        {"type = 8; tspeedY = 1.0;", {0.5f, 1.0f}, {0.5f, 0.375f}, {0.5f, -0.125f}, 33},
        // Diagonal: y passes the middle first; x passing it later brings no second pause.
        {"type = 5; tspeedX = 0.5; tspeedY = 0.75;",
         {-0.0625f, -0.02f},
         {0.3125f, 0.5425f},
         {0.625f, 1.01125f},
         35},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        TravelingString* s = Add<TravelingString>(std::string("message = \"HELLO\"; swiched = 1; "
                                                              "atX = 0.5; atY = 0.5; ") +
                                                  c.keys);
        EXPECT_NEAR(s->atX, c.start.x, 1e-6f);
        EXPECT_NEAR(s->atY, c.start.y, 1e-6f);
        std::vector<Vec2> pauses;
        int steps = 0;
        for (; s->active && steps < 100; ++steps) {
            const bool paused = s->pause_left > 0.0f;
            s->Step(0.125f);
            if (!paused && s->pause_left > 0.0f)
                pauses.push_back({s->atX, s->atY});
        }
        EXPECT_EQ(steps, c.steps);
        ASSERT_EQ(pauses.size(), 1u);
        EXPECT_NEAR(pauses[0].x, c.paused.x, 1e-5f);
        EXPECT_NEAR(pauses[0].y, c.paused.y, 1e-5f);
        EXPECT_NEAR(s->atX, c.end.x, 1e-5f);
        EXPECT_NEAR(s->atY, c.end.y, 1e-5f);
    }
}

TEST_F(Texts, UnswitchedStringStartsOverAndShowLineRestartsThePass) {
    TravelingString* s = Add<TravelingString>(
        "message = \"HELLO\"; type = 2; tspeedX = 1.0; SimpleMessage { string = \"one\"; };; "
        "SimpleMessage { string = \"three\"; };;");
    for (int i = 0; i < 33; ++i)  // a whole pass, as above
        s->Step(0.125f);
    EXPECT_EQ(s->active, 1);
    EXPECT_FLOAT_EQ(s->atX, 1.0f);
    s->ShowLine(1);
    s->Step(0.125f);
    s->ShowLine(2);  // past the last text: the text stays, the pass starts again
    EXPECT_EQ(s->message, "three");
    EXPECT_FLOAT_EQ(s->atX, 1.0f);
    EXPECT_FALSE(s->ShowMessage(""));
    EXPECT_TRUE(s->ShowMessage("0123456789"));
    EXPECT_EQ(s->text_width, 100);
}

TEST_F(Texts, UnknownFontDrawsNothing) {
    TextMessage* m = Add<TextMessage>("font = \"MsgFnt\"; message = \"hi\";");
    EXPECT_FALSE(m->ShowMessage("new")) << "font names match with case";
    int x, y;
    EXPECT_FALSE(m->GetAnchor(&x, &y));
}

TEST_F(Texts, RegisteredStringsShowTheNextBallAndStartTheWelcomeAtRandom) {
    MainBall* ball = Add<MainBall>("");
    TravelingString* next = Add<TravelingString>("name = \"nextball\"; active = 0;");
    TravelingString* silent = Add<TravelingString>("name = \"welcome\"; active = 0;");
    table.ball_count = 3;
    table.currentBallNumber = 1;
    table.ballsInPlay = 0;
    Update();
    EXPECT_EQ(next->active, 1);
    EXPECT_EQ(next->message, "Ball 02 from 03");
    ball->SetEnabled(false);
    for (int i = 0; i < 20000; ++i)
        Update();
    EXPECT_EQ(silent->active, 0) << "a welcome without texts never starts";
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
