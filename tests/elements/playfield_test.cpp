#include <string>
#include <vector>

#include "elements/lights.h"
#include "elements/locker.h"
#include "elements/sound_obj.h"
#include "elements/static_images.h"
#include "render/frame_animation.h"
#include "tests/elements/elements_fixture.h"

namespace {

using Lights = ElementsTest;
using Gate = ElementsTest;
using Sprite = ElementsTest;

TEST_F(Lights, TSwitchLightsForARandomShortTimeAndAReactivationRestartsIt) {
    TSwitch* light = Add<TSwitch>("filename = \"" + Frames(1) + "0000.bmp\";");
    light->Activate();
    EXPECT_TRUE(light->lit);
    EXPECT_GE(light->toggle_timer, 0.1f);
    EXPECT_LE(light->toggle_timer, 0.6f);
    light->toggle_timer = 0.05f;
    light->Step(0.04f);
    light->Activate();
    EXPECT_GE(light->toggle_timer, 0.1f);
    light->Step(0.09f);
    EXPECT_TRUE(light->lit) << "the newest timer counts";
    light->Step(0.6f);
    EXPECT_FALSE(light->lit);
    int x = 0, y = 0;
    ASSERT_TRUE(light->GetAnchor(&x, &y));
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 4);
}

TEST_F(Lights, TresModeShowsByBlinkValueOnlyThenTheRealStateAgain) {
    TSwitch* light = Add<TSwitch>("filename = \"missing.bmp\";");
    light->tres_mode = 1;
    light->tres_time_left = 0.3f;
    light->blink_timer = 5.0f;
    light->blink_value = 3;
    EXPECT_TRUE(light->Shows());
    light->blink_value = 2;
    light->lit = true;
    EXPECT_FALSE(light->Shows());
    light->Step(0.31f);
    EXPECT_EQ(light->tres_mode, 0);
    EXPECT_TRUE(light->Shows());
    // The blink rule keeps its timer within -0.2 to 1.0 s.
    light->tres_mode = 1;
    light->tres_time_left = 100.0f;
    for (int i = 0; i < 200; ++i) {
        light->blink_timer = 0.0f;
        light->Step(0.0f);
        EXPECT_GE(light->blink_timer, -0.2f);
        EXPECT_LE(light->blink_timer, 1.0f);
    }
}

TEST_F(Lights, SwitchWithMissingFramesStaysEnabledAndDrawsNothing) {
    Switch* light = Add<Switch>("filestart = \"nowhere\\\\f\"; fileend = \".bmp\";");
    EXPECT_TRUE(light->Enabled());
    light->Activate();
    light->Step(0.1f);
    EXPECT_FALSE(light->lit) << "activation does nothing to a switch";
    Frames(0);
    light->Draw(display->BackPicture(), 0, 0);
}

TEST_F(Gate, OpensOnActivationStaysOpenThenClosesAndIgnoresActivationsWhileMoving) {
    Locker* gate = Add<Locker>("filestart = \"" + Frames(3) +
                               "\"; fileend = \".bmp\"; filecount = 3; frametime = 0.1; "
                               "maxtime = 0.5;");
    gate->Activate();
    EXPECT_EQ(gate->gate_state, GATE_OPENING);
    EXPECT_EQ(gate->event_flag, 1);
    gate->event_flag = 0;
    gate->Activate();
    EXPECT_EQ(gate->event_flag, 0) << "no event while opening";
    for (int i = 0; i < 4; ++i)
        gate->Step(0.1f);
    EXPECT_EQ(gate->gate_state, GATE_OPEN);
    EXPECT_EQ(gate->Animation()->frame, 2);
    for (int i = 0; i < 3; ++i)
        gate->Step(0.125f);
    EXPECT_EQ(gate->gate_state, GATE_OPEN);
    gate->Step(0.125f);
    EXPECT_EQ(gate->gate_state, GATE_CLOSING);
    gate->Activate();
    EXPECT_EQ(gate->gate_state, GATE_CLOSING);
    for (int i = 0; i < 4; ++i)
        gate->Step(0.1f);
    EXPECT_EQ(gate->gate_state, GATE_CLOSED);
    EXPECT_EQ(gate->Animation()->frame, 0);
}

TEST_F(Gate, LaunchControlHoldsAKeyControlledGateOpenExceptUnderTilt) {
    Locker* gate = Add<Locker>("filestart = \"" + Frames(2) +
                               "\"; fileend = \".bmp\"; filecount = 2; frametime = 0.1; "
                               "maxtime = 0.5; keycontrol = 1;");
    table.tiltMode = true;
    Press("SPACE", true);
    gate->Step(0.1f);
    EXPECT_EQ(gate->gate_state, GATE_CLOSED);
    table.tiltMode = false;
    for (int i = 0; i < 20; ++i)
        gate->Step(0.1f);
    EXPECT_EQ(gate->Animation()->frame, 1) << "held open at the last frame";
    EXPECT_EQ(gate->event_flag, 0) << "the control raises no event";
    Press("SPACE", false);
    gate->Step(0.01f);
    EXPECT_EQ(gate->gate_state, GATE_OPEN);
    for (int i = 0; i < 3; ++i)
        gate->Step(0.125f);
    EXPECT_EQ(gate->gate_state, GATE_OPEN);
    gate->Step(0.125f);
    EXPECT_EQ(gate->gate_state, GATE_CLOSING);
    Press("SPACE", true);
    gate->Step(0.01f);
    EXPECT_EQ(gate->gate_state, GATE_OPENING) << "held again while closing: reopens";
}

// Frames the sprite shows over `steps` steps of its frame time.
std::vector<int> Play(StaticSprite* sprite, int steps, int* events) {
    std::vector<int> frames;
    for (int i = 0; i < steps; ++i) {
        sprite->Step(0.1f);
        frames.push_back(sprite->Animation()->frame);
        *events += sprite->event_flag;
        sprite->event_flag = 0;
    }
    return frames;
}

TEST_F(Sprite, CounterShowsTheNextFrameAndRaisesItsEventOnWrapping) {
    StaticSprite* s = Add<StaticSprite>("filestart = \"" + Frames(4) +
                                        "\"; fileend = \".bmp\"; filecount = 4; likecounter = 1;");
    std::vector<int> shown;
    std::vector<int> events;
    for (int i = 0; i < 4; ++i) {
        s->Activate();
        shown.push_back(s->Animation()->frame);
        events.push_back(s->event_flag);
        s->event_flag = 0;
        s->Step(1.0f);
    }
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 0}));
    EXPECT_EQ(events, (std::vector<int>{0, 0, 0, 1}));
}

TEST_F(Sprite, LoopCountPlaysThreePassesAndRaisesOneEvent) {
    StaticSprite* s = Add<StaticSprite>("filestart = \"" + Frames(3) +
                                        "\"; fileend = \".bmp\"; filecount = 3; frametime = 0.1; "
                                        "loopcount = 3;");
    int events = 0;
    s->Activate();
    Play(s, 4, &events);
    s->Activate();  // ignored: a play runs
    Play(s, 4, &events);
    EXPECT_EQ(events, 0);
    Play(s, 3, &events);
    EXPECT_EQ(events, 1);
    EXPECT_FALSE(s->playing);
}

TEST_F(Sprite, PlaybackAlsoGoesThereAndBackThenRaisesTheEvent) {
    StaticSprite* s = Add<StaticSprite>("filestart = \"" + Frames(3) +
                                        "\"; fileend = \".bmp\"; filecount = 3; frametime = 0.1; "
                                        "playbackalso = 1;");
    int events = 0;
    s->Activate();
    EXPECT_EQ(Play(s, 4, &events), (std::vector<int>{1, 2, 2, 1}));
    EXPECT_EQ(Play(s, 1, &events), (std::vector<int>{0}));
    EXPECT_EQ(events, 0);
    Play(s, 1, &events);
    EXPECT_EQ(events, 1);
}

TEST_F(Sprite, HighlightLoopsWithAnEventPerFrameTimeAndASecondOnRestartsNothing) {
    StaticSprite* s = Add<StaticSprite>("filestart = \"" + Frames(3) +
                                        "\"; fileend = \".bmp\"; filecount = 3; frametime = 0.25;");
    s->SetHighlight(true);
    s->Step(0.125f);
    s->Step(0.125f);
    EXPECT_EQ(s->event_flag, 1);
    s->Step(0.125f);
    s->SetHighlight(true);
    EXPECT_EQ(s->Animation()->frame, 1) << "not restarted";
    EXPECT_FLOAT_EQ(s->event_clock, 0.125f);
    s->SetHighlight(false);
    EXPECT_FALSE(s->Animation()->playing);
    EXPECT_EQ(s->Animation()->frame, 0);
}

TEST_F(Sprite, ZeroFramesDoNothing) {
    StaticSprite* s = Add<StaticSprite>("filecount = 0; likecounter = 1; frametime = 0.1;");
    StaticSprite* looping = Add<StaticSprite>("filecount = 0; playalways = 1;");
    StaticSprite* negative = Add<StaticSprite>("filecount = -4; loopcount = 2;");
    Frames(0);
    for (StaticSprite* sprite : {s, looping, negative}) {
        sprite->SetHighlight(true);
        sprite->Activate();
        sprite->Step(0.5f);
        sprite->Draw(display->BackPicture(), 0, 0);
        EXPECT_EQ(sprite->event_flag, 0);
        int x, y;
        EXPECT_FALSE(sprite->GetAnchor(&x, &y));
    }
    Switch* light = Add<Switch>("");
    light->tres_mode = 1;
    light->Step(0.1f);
    light->Draw(display->BackPicture(), 0, 0);
}

TEST(SoundElement, MissingSoundLoadsEnabledAndPlaysNothing) {
    Table table;
    SoundObj sound(table);
    std::string text = "X { filename = \"no\\\\such.wav\"; };;";
    ZarnikScr scr(text.data(), int(text.size()));
    EXPECT_TRUE(sound.Load(SubBlock(WholeScript(scr), 1)));
    EXPECT_TRUE(sound.Enabled());
    sound.Activate();
    sound.Activate();
}

}  // namespace
