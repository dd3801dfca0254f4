#include <string>

#include "elements/locker.h"
#include "elements/static_images.h"
#include "render/frame_animation.h"
#include "tests/elements/elements_fixture.h"

// Elements without frames are invisible relays for table authors: they draw
// nothing, but every rule still runs and their events still drive links.
// Each table: 0 a source, 1 the element, 2 a link scoring 1 per event of the
// element, 3 a link from the source to the element (stepped first).

namespace {

class Frameless : public ElementsTest {
protected:
    template <typename T>
    T* Relay(const std::string& body) {
        table.Clear();
        table.score = 0;
        source = Add<Dummy>("");
        T* element = Add<T>(body);
        Add<Link>("from = 1; scores = 1; time_to_sleep = 0.0;");
        Add<Link>("from = 0; time_to_sleep = 0.0; To { to = 1; };;");
        return element;
    }
    // Steps the table, drawing each frame as the game does.
    void Run(int updates, float dt) {
        for (int i = 0; i < updates; ++i) {
            Update(dt);
            table.Draw(display->BackPicture());
        }
    }
    Dummy* source = nullptr;
};

TEST_F(Frameless, LockerRaisesItsEventOpensTimesOutAndCloses) {
    for (const char* frames : {"filecount = 0;", "filecount = -3;"}) {
        Locker* gate = Relay<Locker>(std::string(frames) + " maxtime = 0.5;");
        Fire(source, 1, 0.125f);
        EXPECT_EQ(table.score, 1) << frames << ": the opening's event reaches the link";
        EXPECT_EQ(gate->gate_state, GATE_OPENING);
        Run(1, 0.125f);
        EXPECT_EQ(gate->gate_state, GATE_OPEN) << "nothing to play: open at the next step";
        Run(3, 0.125f);
        EXPECT_EQ(gate->gate_state, GATE_OPEN);
        Run(1, 0.125f);
        EXPECT_EQ(gate->gate_state, GATE_CLOSING) << "maxtime 0.5 ran out";
        Run(1, 0.125f);
        EXPECT_EQ(gate->gate_state, GATE_CLOSED);
        EXPECT_EQ(table.score, 1);
    }
}

TEST_F(Frameless, CounterSpriteCountsItsFramesAndRaisesItsEventOnEachWrap) {
    // No frames: every activation wraps. Three frames whose files are
    // missing count as three.
    StaticSprite* none = Relay<StaticSprite>("filecount = 0; likecounter = 1;");
    Fire(source, 3);
    EXPECT_EQ(table.score, 3);
    EXPECT_EQ(none->counter, 0);

    StaticSprite* missing =
        Relay<StaticSprite>("filestart = \"nowhere\"; filecount = 3; likecounter = 1;");
    Fire(source, 7);
    EXPECT_EQ(table.score, 2);
    EXPECT_EQ(missing->counter, 1);
}

TEST_F(Frameless, PlayedSpriteEndsOnePassPerStepThenRaisesOneEvent) {
    struct Case {
        const char* keys;
        int stepsToEvent;
    } cases[] = {
        {"filecount = 0; loopcount = 3; frametime = 0.1;", 3},
        {"filecount = 0; playbackalso = 1; reverse = 1;", 2},
        {"filecount = -1;", 1},
    };
    for (const Case& c : cases) {
        Relay<StaticSprite>(c.keys);
        Fire(source);
        Run(c.stepsToEvent - 1, 0.01f);
        EXPECT_EQ(table.score, 0) << c.keys;
        Run(1, 0.01f);
        EXPECT_EQ(table.score, 1) << c.keys;
        Run(5, 0.01f);
        EXPECT_EQ(table.score, 1) << c.keys << ": one play, one event";
    }
}

TEST_F(Frameless, LoopingSpriteRaisesItsEventEveryFrameTime) {
    Relay<StaticSprite>("filecount = 0; playalways = 1; frametime = 0.25;");
    Run(8, 0.125f);
    EXPECT_EQ(table.score, 4);

    StaticSprite* lit = Relay<StaticSprite>("filecount = 0; frametime = 0.25;");
    lit->SetHighlight(true);
    Run(4, 0.125f);
    EXPECT_EQ(table.score, 2);
}

// Frames that take no time behave alike: a play with an end is over at the
// next step (it used to never end, and the gate never opened).
TEST_F(Frameless, FrameTimeZeroEndsEachPlayAtTheNextStep) {
    Locker* gate = Relay<Locker>(Frames(3) + "frametime = 0.0; maxtime = 0.25;");
    Fire(source);
    Run(2, 0.01f);  // the gate sees the end of the play one step later
    EXPECT_EQ(gate->gate_state, GATE_OPEN);
    EXPECT_EQ(gate->Animation()->frame, 2);

    Relay<StaticSprite>(Frames(3) + "loopcount = 2;");  // frametime 0 by default
    Fire(source);
    Run(1, 0.01f);
    EXPECT_EQ(table.score, 0);
    Run(1, 0.01f);
    EXPECT_EQ(table.score, 1);
}

}  // namespace
