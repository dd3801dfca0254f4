#include <string>

#include "elements/lights.h"
#include "elements/sound_obj.h"
#include "physics/collision_form.h"
#include "tests/elements/elements_fixture.h"

namespace {

using LinkFiring = ElementsTest;
using LinkCurrent = ElementsTest;
using LinkTres = ElementsTest;
using LinkEnableTimer = ElementsTest;
using LinkIndices = ElementsTest;

// Raises the source's event for one update.
void Trigger(TableObject* source) {
    source->event_flag = 1;
}

TEST_F(LinkFiring, FormHitScoresInTheSameFrameAndASecondHitInTheSleepIsLost) {
    MainBall* ball =
        Add<MainBall>("startup_position_x = 0.5; startup_position_y = 0.5; radius = 0.02;");
    CollisionForm* form = Add<CollisionForm>(
        "c_type = \"COLLISION_BOUNCE\"; k_bounce = 1.0; Line { toX = 0.3; toY = 0.53; };; "
        "Line { toX = 0.7; toY = 0.53; };;");
    Link* link = Add<Link>("from = 1; scores = 100;");
    ASSERT_TRUE(link->Enabled());
    ball->velocity = Vec2{0.0f, 1.0f};
    Update(0.02f);
    EXPECT_EQ(table.score, 100) << "fires in the frame of the hit";
    EXPECT_EQ(link->ball_index, 0);

    // 0.05 s later, still asleep: the form's one-frame event is lost, but an
    // activation waits and fires as soon as the sleep is over.
    for (int i = 0; i < 5; ++i) {
        if (i == 4) {
            Trigger(form);
            link->Activate();
        }
        ball->SetEnabled(false);
        Update(0.01f);
    }
    EXPECT_EQ(table.score, 100);
    EXPECT_TRUE(link->pending_activation);
    for (int i = 0; i < 6; ++i)
        Update(0.01f);
    EXPECT_EQ(table.score, 200);
    EXPECT_FALSE(link->pending_activation);
}

TEST_F(LinkFiring, SkipEventsFiresOnEveryNthTrigger) {
    Dummy* source = Add<Dummy>("");
    Link* link = Add<Link>("from = 0; scores = 1; skip_events = 3; time_to_sleep = 0.0;");
    int fired[6];
    for (int& f : fired) {
        Trigger(source);
        const int before = table.score;
        Update();
        f = table.score - before;
    }
    EXPECT_EQ(std::vector<int>(fired, fired + 6), (std::vector<int>{0, 0, 1, 0, 0, 1}));
    EXPECT_EQ(link->skip_left, 3);
}

TEST_F(LinkFiring, AnotherLinksEventIsSeenOnlyFromLaterInTheList) {
    Dummy* source = Add<Dummy>("");         // 0
    Add<Link>("from = 0; scores = 1;");     // 1: fires from the source
    Add<Dummy>("");                         // 2
    Add<Link>("from = 7; scores = 10;");    // 3: watches a later link
    Add<Link>("from = 1; scores = 100;");   // 4: watches an earlier link
    Add<Dummy>("");                         // 5
    Add<Dummy>("");                         // 6
    Add<Link>("from = 0; scores = 1000;");  // 7
    ASSERT_TRUE(ValidateAllLinks(table));
    for (int frame = 0; frame < 3; ++frame) {
        Trigger(source);
        Update(0.2f);
    }
    EXPECT_EQ(table.score, 3 * 1011);
}

TEST_F(LinkFiring, TargetsGetTheSourcesBallOrThePrimaryBall) {
    Add<MainBall>("temp = 1;");  // 0, the primary ball
    Dummy* source = Add<Dummy>("");
    Probe* target = AddProbe();
    Add<Link>("from = 1; To { to = 2; };;");
    Update();
    EXPECT_EQ(target->ball_index, 0);
    source->ball_index = 5;
    Update();
    EXPECT_EQ(target->ball_index, 5);
}

TEST_F(LinkFiring, ActivatesEnabledTargetsAndCurrentOnlyOnesWhileCurrent) {
    Dummy* source = Add<Dummy>("");
    Probe* always = AddProbe();
    Probe* whenCurrent = AddProbe();
    Probe* disabled = AddProbe();
    always->SetEnabled(true);
    whenCurrent->SetEnabled(true);
    Link* link = Add<Link>(
        "from = 0; time_to_sleep = 0.0; To { to = 1; };; To { current_only = 1; to = 2; };; "
        "To { to = 3; };;");
    Trigger(source);
    Update();
    link->MakeCurrent();
    Trigger(source);
    Update();
    EXPECT_EQ(always->activations, 2);
    EXPECT_EQ(whenCurrent->activations, 1);
    EXPECT_EQ(disabled->activations, 0);
}

TEST_F(LinkFiring, MenuRequestShowsTheNameCutToItsField) {
    Dummy* source = Add<Dummy>("");
    const std::string longName(50, 'm');
    Add<Link>("from = 0; can_activate_menu = 1; menu_name = \"" + longName + "\";");
    Trigger(source);
    Update();
    ASSERT_EQ(screen.shown.size(), 1u);
    EXPECT_EQ(screen.shown[0], std::string(33, 'm'));
}

TEST_F(LinkFiring, InvalidLinkIsDisabledAndInert) {
    Dummy* source = Add<Dummy>("");
    Link* noSource = Add<Link>("from = -1; scores = 5;");
    Link* badTarget = Add<Link>("from = 0; scores = 7; To { to = 3; };;");
    EXPECT_FALSE(noSource->Enabled());
    EXPECT_FALSE(ValidateAllLinks(table)) << "to = 3 equals the element count";
    EXPECT_FALSE(badTarget->Enabled());
    noSource->SetEnabled(true);
    badTarget->SetEnabled(true);
    Trigger(source);
    Update();
    EXPECT_EQ(table.score, 0);
}

TEST_F(LinkCurrent, ChangeCountPassesTheTokenAtTheNthFiring) {
    Dummy* source = Add<Dummy>("");
    Probe* lamp = AddProbe();
    Link* first = Add<Link>(
        "from = 0; next = 3; active_element = 1; change_count = 3; initially_current = 1; "
        "time_to_sleep = 0.0; scores = 1; big_scores = 10;");
    Link* second = Add<Link>("from = 0; time_to_sleep = 0.0;");
    ASSERT_TRUE(first->is_current);
    for (int i = 0; i < 2; ++i) {
        Trigger(source);
        Update();
    }
    EXPECT_TRUE(first->is_current);
    EXPECT_TRUE(lamp->highlighted);
    Trigger(source);
    Update();
    EXPECT_FALSE(first->is_current);
    EXPECT_TRUE(second->is_current);
    EXPECT_FALSE(lamp->highlighted);
    EXPECT_EQ(table.score, 30) << "big scores while current";
    Trigger(source);
    Update();
    EXPECT_EQ(table.score, 31);
}

TEST_F(LinkCurrent, ChangeStepQualifiesEverySecondFiringCountedFromTheOffset) {
    Dummy* source = Add<Dummy>("");
    Link* link = Add<Link>(
        "from = 0; change_step = 2; change_count = 2; initially_current = 1; "
        "time_to_sleep = 0.0;");
    // Firings 1 and 3 qualify (fire_count 0 and 2): the token goes at the third.
    for (int i = 0; i < 2; ++i) {
        Trigger(source);
        Update();
        EXPECT_TRUE(link->is_current);
    }
    Trigger(source);
    Update();
    EXPECT_FALSE(link->is_current);
    EXPECT_EQ(link->fire_count, 3);
}

TEST_F(LinkCurrent, ScoreLimitKeepsTheTokenUntilEnoughWasGained) {
    Dummy* source = Add<Dummy>("");
    table.score = 50;
    Link* link = Add<Link>(
        "from = 0; sl_limit = 1000; big_scores = 300; initially_current = 1; "
        "time_to_sleep = 0.0;");
    EXPECT_EQ(link->score_mark, 50);
    for (int i = 0; i < 3; ++i) {
        Trigger(source);
        Update();
        EXPECT_TRUE(link->is_current) << "firing " << i + 1;
    }
    Trigger(source);
    Update();
    EXPECT_FALSE(link->is_current);
    EXPECT_EQ(table.score, 1250);
}

TEST_F(LinkCurrent, BecomingCurrentCanResetTheScoreAndAskForTheMenu) {
    table.score = 500;
    Add<Dummy>("");
    Link* link = Add<Link>(
        "from = 0; initially_current = 1; can_resetscores_wbc = 1; can_actmenu_whencurrent = 1; "
        "menu_name = \"bonus\";");
    EXPECT_EQ(table.score, 0);
    EXPECT_EQ(link->score_mark, 0);
    Update();
    EXPECT_EQ(screen.shown, std::vector<std::string>{"bonus"});
}

TEST_F(LinkCurrent, TimeoutPassesTheTokenToTimeoutNext) {
    Add<Dummy>("");
    Link* first = Add<Link>(
        "from = 0; initially_current = 1; change_current_timeout = 0.5; timeout_next = 2;");
    Link* second = Add<Link>("from = 0;");
    for (int i = 0; i < 3; ++i)
        Update(0.125f);
    EXPECT_TRUE(first->is_current);
    Update(0.125f);
    EXPECT_FALSE(first->is_current);
    EXPECT_TRUE(second->is_current);
}

TEST_F(LinkTres, TresLinkSetsTresModeEverySecondFiringWithoutScoringOrActivating) {
    Dummy* source = Add<Dummy>("");
    TSwitch* light = Add<TSwitch>("filename = \"missing.bmp\";");
    Add<Link>(
        "from = 0; can_set_tres_mode = 1; tres_mode_act_count = 2; tres_time = 2.5; "
        "scores = 10; time_to_sleep = 0.0; To { to = 1; };;");
    Trigger(source);
    Update();
    EXPECT_EQ(light->tres_mode, 0);
    Trigger(source);
    Update();
    EXPECT_EQ(light->tres_mode, 1);
    EXPECT_NEAR(light->tres_time_left, 2.5f, 0.011f);
    EXPECT_GE(light->blink_timer, -0.2f - 0.011f);
    EXPECT_LE(light->blink_timer, 1.0f);
    EXPECT_FALSE(light->lit);
    EXPECT_EQ(table.score, 0);
}

TEST_F(LinkTres, LinkInTresModeScoresTresScores) {
    Dummy* source = Add<Dummy>("");
    Link* scorer =
        Add<Link>("from = 0; scores = 10; big_scores = 20; tres_scores = 3; time_to_sleep = 0.0;");
    Add<Link>(
        "from = 0; can_set_tres_mode = 1; tres_mode_act_count = 1; tres_time = 0.015; "
        "time_to_sleep = 0.0; To { to = 1; };;");
    Trigger(source);
    Update();
    EXPECT_EQ(table.score, 3) << "the tres link stands later, so it acts first";
    Trigger(source);
    Update();
    EXPECT_EQ(table.score, 6);
    EXPECT_EQ(scorer->tres_mode, 1);
}

TEST_F(LinkEnableTimer, AtStartSwitchesOffThenFiringEnablesForEeTime) {
    Dummy* source = Add<Dummy>("");
    Probe* gate = AddProbe();
    gate->SetEnabled(true);
    Add<Link>("from = 0; ee_cando = 1; ee_atstart = 1; ee_time = 0.5; To { to = 1; };;");
    Update(0.125f);
    EXPECT_FALSE(gate->Enabled());
    Trigger(source);
    Update(0.125f);
    EXPECT_TRUE(gate->Enabled());
    EXPECT_EQ(gate->activations, 0);
    for (int i = 0; i < 3; ++i)
        Update(0.125f);
    EXPECT_TRUE(gate->Enabled());
    Update(0.125f);
    EXPECT_FALSE(gate->Enabled());
}

TEST_F(LinkEnableTimer, InvertedTimerWithoutAtStartSwitchesOnAfterEeTime) {
    Dummy* source = Add<Dummy>("");
    Probe* gate = AddProbe();
    Add<Link>("from = 0; ee_cando = 1; ee_invert = 1; ee_time = 0.375; To { to = 1; };;");
    Update(0.125f);
    Update(0.125f);
    EXPECT_FALSE(gate->Enabled());
    Update(0.125f);
    EXPECT_TRUE(gate->Enabled());
    Trigger(source);
    Update(0.125f);
    EXPECT_FALSE(gate->Enabled()) << "inverted: a firing switches off";
}

TEST_F(LinkIndices, RemovingElementThreeTurnsTwoAndFiveIntoTwoAndFour) {
    for (int i = 0; i < 6; ++i)
        Add<Dummy>("");
    Link* link = Add<Link>(
        "from = 5; next = 2; active_element = 3; timeout_next = 6; To { to = 2; };; "
        "To { to = 5; };;");
    EXPECT_TRUE(RenumberLinksAfterRemove(table, 3));
    EXPECT_EQ(link->from, 4);
    EXPECT_EQ(link->next, 2);
    EXPECT_EQ(link->active_element, 3) << "a reference to the removed index stays";
    EXPECT_EQ(link->timeout_next, 5);
    EXPECT_EQ(link->targets[0].to, 2);
    EXPECT_EQ(link->targets[1].to, 4);

    EXPECT_TRUE(SwapLinkIndices(table, 2, 4));
    EXPECT_EQ(link->from, 2);
    EXPECT_EQ(link->next, 4);
    EXPECT_EQ(link->targets[0].to, 4);
    EXPECT_EQ(link->targets[1].to, 2);
}

TEST_F(LinkIndices, ForwardReferencesBecomeValidWhenTheTableRevalidates) {
    Link* link = Add<Link>("from = 1; To { to = 2; };;");
    EXPECT_FALSE(link->Enabled());
    Add<Dummy>("");
    Add<Dummy>("");
    EXPECT_TRUE(ValidateAllLinks(table));
    EXPECT_TRUE(link->Enabled());
}

TEST_F(LinkIndices, SaveWritesEveryKeyAndTheFireCountAsChangeOffset) {
    Dummy* source = Add<Dummy>("");
    Link* link = Add<Link>(
        "from = 0; change_step = 1; change_offset = 4; time_to_sleep = 0.0; menu_name = \"m\"; "
        "To { current_only = 1; to = 0; };;");
    Trigger(source);
    Update();
    std::string text;
    link->Save(&text);
    EXPECT_EQ(text,
              "Link {\r\n from = 0;\r\n next = -1;\r\n active_element = -1;\r\n scores = 0;\r\n"
              " big_scores = 0;\r\n can_activate_menu = 0;\r\n can_actmenu_whencurrent = 0;\r\n"
              " can_resetscores_wbc = 0;\r\n change_count = 0;\r\n change_step = 1;\r\n"
              " change_offset = 5;\r\n initially_current = 0;\r\n time_to_sleep = 0.000;\r\n"
              " menu_name = \"m\";\r\n can_set_tres_mode = 0;\r\n tres_mode_act_count = 0;\r\n"
              " tres_scores = 0;\r\n tres_time = 0.000;\r\n ee_atstart = 0;\r\n ee_cando = 0;\r\n"
              " ee_invert = 0;\r\n ee_time = 5.000;\r\n sl_limit = 0;\r\n skip_events = 0;\r\n"
              " change_current_timeout = 0.000;\r\n timeout_next = -1;\r\n"
              " To { current_only = 1; to = 0; };\r\n};;\r\n");
}

}  // namespace
