#include <utility>
#include <vector>

#include "elements/lights.h"
#include "elements/locker.h"
#include "elements/static_images.h"
#include "render/frame_animation.h"
#include "tests/elements/elements_fixture.h"

namespace {

using Lights = ElementsTest;
using Gate = ElementsTest;
using Sprite = ElementsTest;
using Still = ElementsTest;

TEST_F(Lights, TSwitchLightsForAShortRandomTimeRestartedByEachActivation) {
    Frames(1);
    TSwitch* light = Add<TSwitch>("filename = \"" + dir.File("f0000.bmp") + "\";");
    light->Activate();
    EXPECT_GE(light->toggle_timer, 0.1f);
    EXPECT_LE(light->toggle_timer, 0.6f);
    light->toggle_timer = 0.05f;
    light->Step(0.04f);
    light->Activate();
    light->Step(0.09f);
    EXPECT_TRUE(light->lit) << "the newest timer counts";
    light->Step(0.6f);
    EXPECT_FALSE(light->lit);
}

TEST_F(Lights, TresModeShowsByBlinkValueOnlyThenTheRealStateAgain) {
    TSwitch* light = Add<TSwitch>("");
    light->tres_mode = 1;
    light->tres_time_left = 0.3f;
    light->blink_timer = 5.0f;
    light->blink_value = 3;
    EXPECT_TRUE(light->Shows());
    light->blink_value = 2;
    light->lit = true;
    EXPECT_FALSE(light->Shows());
    light->Step(0.31f);
    EXPECT_TRUE(light->Shows());
}

TEST_F(Gate, OpensOnActivationStaysOpenMaxtimeFromTheLastActivationThenCloses) {
    Locker* gate = Add<Locker>(Frames(3) + "frametime = 0.1; maxtime = 0.5;");
    gate->Activate();
    EXPECT_EQ(gate->event_flag, 1);
    gate->event_flag = 0;
    gate->Activate();
    EXPECT_EQ(gate->event_flag, 0) << "no event while opening";
    for (int i = 0; i < 4; ++i)
        gate->Step(0.1f);
    EXPECT_EQ(gate->gate_state, GATE_OPEN);
    EXPECT_EQ(gate->Animation()->frame, 2);
    gate->Step(0.25f);
    gate->Activate();  // open: the half second starts again, without an event
    EXPECT_EQ(gate->event_flag, 0);
    for (int i = 0; i < 3; ++i)
        gate->Step(0.125f);
    EXPECT_EQ(gate->gate_state, GATE_OPEN);
    gate->Step(0.125f);
    EXPECT_EQ(gate->gate_state, GATE_CLOSING);
    gate->Activate();
    for (int i = 0; i < 4; ++i)
        gate->Step(0.1f);
    EXPECT_EQ(gate->gate_state, GATE_CLOSED);
    EXPECT_EQ(gate->Animation()->frame, 0);
}

TEST_F(Gate, LaunchControlHoldsAKeyControlledGateOpenExceptUnderTilt) {
    Locker* gate = Add<Locker>(Frames(2) + "frametime = 0.1; maxtime = 0.5; keycontrol = 1;");
    table.tiltMode = true;
    Press("SPACE", true);
    gate->Step(0.1f);
    EXPECT_EQ(gate->gate_state, GATE_CLOSED);
    table.tiltMode = false;
    for (int i = 0; i < 20; ++i)
        gate->Step(0.1f);
    EXPECT_EQ(gate->Animation()->frame, 1);
    EXPECT_EQ(gate->event_flag, 0) << "the control raises no event";
    Press("SPACE", false);
    gate->Step(0.01f);
    for (int i = 0; i < 3; ++i)
        gate->Step(0.125f);
    EXPECT_EQ(gate->gate_state, GATE_OPEN);
    gate->Step(0.125f);
    EXPECT_EQ(gate->gate_state, GATE_CLOSING);
    Press("SPACE", true);
    gate->Step(0.01f);
    EXPECT_EQ(gate->gate_state, GATE_OPENING) << "held again while closing: reopens";
}

TEST_F(Still, PictureWithNoTiltStaysPutWhileTheTableShakes) {
    Frames(1);
    const std::string file = "filename = \"" + dir.File("f0000.bmp") + "\"; atY = 0.1; ";
    Add<StaticPicture>(file + "atX = 0.1; noTilt = 1;")->Draw(display->BackPicture(), 5, 3);
    Add<StaticPicture>(file + "atX = 0.5;")->Draw(display->BackPicture(), 5, 3);
    ExpectPixels(display->BackPicture(),
                 {{80, 60, 0x102030u}, {79, 60, 0u}, {405, 63, 0x102030u}, {404, 63, 0u}});
}

// Frames shown over `steps` steps of 0.1 s; events are counted.
std::vector<int> Play(StaticSprite* s, int steps, int* events) {
    std::vector<int> frames;
    for (int i = 0; i < steps; ++i) {
        s->Step(0.1f);
        frames.push_back(s->Animation()->frame);
        *events += s->event_flag;
        s->event_flag = 0;
    }
    return frames;
}

TEST_F(Sprite, CounterShowsTheNextFrameAndRaisesItsEventOnWrapping) {
    StaticSprite* s = Add<StaticSprite>(Frames(4) + "likecounter = 1;");
    std::vector<int> shown, events;
    for (int i = 0; i < 4; ++i) {
        s->Activate();
        shown.push_back(s->Animation()->frame);
        events.push_back(std::exchange(s->event_flag, 0));
    }
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 0}));
    EXPECT_EQ(events, (std::vector<int>{0, 0, 0, 1}));
}

TEST_F(Sprite, LoopCountAndPlaybackAlsoRaiseOneEventAtTheEndOfThePlay) {
    StaticSprite* loops = Add<StaticSprite>(Frames(3) + "frametime = 0.1; loopcount = 3;");
    int events = 0;
    loops->Activate();
    Play(loops, 4, &events);
    loops->Activate();  // ignored: a play runs
    Play(loops, 4, &events);
    EXPECT_EQ(events, 0);
    Play(loops, 3, &events);
    EXPECT_EQ(events, 1);

    StaticSprite* back = Add<StaticSprite>(Frames(3) + "frametime = 0.1; playbackalso = 1;");
    back->Activate();
    EXPECT_EQ(Play(back, 5, &events), (std::vector<int>{1, 2, 2, 1, 0}));
    EXPECT_EQ(events, 1);
    Play(back, 1, &events);
    EXPECT_EQ(events, 2);
}

TEST_F(Sprite, HighlightLoopsWithAnEventPerFrameTimeAndASecondOnRestartsNothing) {
    StaticSprite* s = Add<StaticSprite>(Frames(3) + "frametime = 0.25;");
    s->SetHighlight(true);
    s->Step(0.125f);
    s->Step(0.125f);
    EXPECT_EQ(s->event_flag, 1);
    s->Step(0.125f);
    s->SetHighlight(true);
    EXPECT_EQ(s->Animation()->frame, 1) << "not restarted";
    s->SetHighlight(false);
    EXPECT_FALSE(s->Animation()->playing);
    EXPECT_EQ(s->Animation()->frame, 0);
}

}  // namespace
