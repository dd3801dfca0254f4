#include <string>
#include <vector>

#include "elements/element_common.h"
#include "elements/lights.h"
#include "physics/collision_form.h"
#include "tests/elements/elements_fixture.h"

namespace {

using LinkFiring = ElementsTest;
using LinkCurrent = ElementsTest;
using LinkModes = ElementsTest;
using LinkIndices = ElementsTest;

TEST_F(LinkFiring, FormHitScoresInTheSameFrameAndASecondHitInTheSleepIsLost) {
    MainBall* ball = Add<MainBall>("startup_position_x = 0.5; startup_position_y = 0.5;");
    CollisionForm* form = Add<CollisionForm>(
        "c_type = \"COLLISION_BOUNCE\"; Line { toX = 0.3; toY = 0.53; };; "
        "Line { toX = 0.7; toY = 0.53; };;");
    Link* link = Add<Link>("from = 1; scores = 100;");
    ball->velocity = Vec2{0.0f, 1.0f};
    Update(0.02f);
    EXPECT_EQ(table.score, 100);
    EXPECT_EQ(link->ball_index, 0);
    ball->SetEnabled(false);
    Update(0.03f);
    // 0.05 s after the hit: the form's event is lost, an activation waits.
    link->Activate();
    Fire(form);
    EXPECT_EQ(table.score, 100);
    for (int i = 0; i < 7; ++i)
        Update();
    EXPECT_EQ(table.score, 200) << "the pending activation, once";
}

TEST_F(LinkFiring, SkipEventsFiresOnEveryNthTrigger) {
    Dummy* source = Add<Dummy>("");
    Add<Link>("from = 0; scores = 1; skip_events = 3; time_to_sleep = 0.0;");
    std::vector<int> scores;
    for (int i = 0; i < 6; ++i) {
        Fire(source);
        scores.push_back(table.score);
    }
    EXPECT_EQ(scores, (std::vector<int>{0, 0, 1, 1, 1, 2}));
}

TEST_F(LinkFiring, AnotherLinksEventIsSeenOnlyFromLaterInTheList) {
    Dummy* source = Add<Dummy>("");        // 0
    Add<Link>("from = 0; scores = 1;");    // 1
    Add<Dummy>("");                        // 2
    Add<Link>("from = 7; scores = 10;");   // 3: watches a later link
    Add<Link>("from = 1; scores = 100;");  // 4: watches an earlier one
    Add<Dummy>("");
    Add<Dummy>("");
    Add<Link>("from = 0; scores = 1000;");  // 7
    ASSERT_TRUE(ValidateAllLinks(table));
    Fire(source, 3, 0.2f);
    EXPECT_EQ(table.score, 3 * 1011);
}

TEST_F(LinkFiring, InvalidLinkIsDisabledAndInert) {
    Dummy* source = Add<Dummy>("");
    Link* noSource = Add<Link>("from = -1; scores = 5;");
    Link* badTarget = Add<Link>("from = 0; scores = 7; To { to = 3; };;");
    EXPECT_FALSE(ValidateAllLinks(table)) << "to = 3 equals the element count";
    EXPECT_FALSE(noSource->Enabled());
    EXPECT_FALSE(badTarget->Enabled());
    noSource->SetEnabled(true);
    badTarget->SetEnabled(true);
    Fire(source);
    EXPECT_EQ(table.score, 0);
}

TEST_F(LinkFiring, CurrentOnlyTargetsWaitForTheTokenAndDisabledTargetsAreNeverActivated) {
    Dummy* source = Add<Dummy>("");
    Probe* always = AddProbe();
    Probe* whenCurrent = AddProbe();
    Probe* off = AddProbe(false);
    Link* link = Add<Link>(
        "from = 0; time_to_sleep = 0.0; To { to = 1; };; To { current_only = 1; to = 2; };; "
        "To { to = 3; };;");
    Fire(source);
    EXPECT_EQ(always->activations, 1);
    EXPECT_EQ(whenCurrent->activations, 0);
    link->MakeCurrent();
    Fire(source);
    EXPECT_EQ(always->activations, 2);
    EXPECT_EQ(whenCurrent->activations, 1);
    EXPECT_EQ(off->activations, 0);
}

TEST_F(LinkFiring, ExtremeScriptValuesWrapInsteadOfOverflowing) {
    Dummy* source = Add<Dummy>("");
    table.score = -2147483000;
    Add<Link>(
        "from = 0; scores = 2147483647; big_scores = 2147483647; skip_events = -2147483648; "
        "change_step = 1; change_offset = 2147483647; sl_limit = 5; initially_current = 1; "
        "time_to_sleep = 0.0;");
    Fire(source, 3);
    EXPECT_EQ(table.score, 645);
}

TEST_F(LinkCurrent, TheTokenPassesAtTheNthQualifyingFiringAndBecomingCurrentIsAnEvent) {
    struct Case {
        const char* keys;
        int passesAt, score;
    } cases[] = {
        {"change_count = 0;", 1, 1011},
        {"change_count = 3;", 3, 1031},
        // fire_count 0, 1, 2: with change_step 2 the 1st and 3rd firings qualify.
        {"change_step = 2; change_count = 2;", 3, 1031},
        // 300, 600, 900 gained: the 3rd reaches sl_limit exactly.
        {"sl_limit = 900; big_scores = 300;", 3, 1901},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        table.Clear();
        table.score = 0;
        Dummy* source = Add<Dummy>("");
        Add<Link>("from = 3; scores = 1000;");  // sees the next link become current
        Link* first =
            Add<Link>(std::string("from = 0; next = 3; active_element = 4; initially_current = 1; "
                                  "time_to_sleep = 0.0; scores = 1; big_scores = 10; ") +
                      c.keys);
        Link* second = Add<Link>("from = 4;");
        Probe* lamp = AddProbe();
        ASSERT_TRUE(ValidateAllLinks(table));
        int firings = 0;
        for (; first->is_current && firings < 10; ++firings) {
            Fire(source);
            EXPECT_EQ(lamp->highlighted, first->is_current);
        }
        EXPECT_EQ(firings, c.passesAt);
        EXPECT_TRUE(second->is_current);
        Fire(source);
        EXPECT_EQ(table.score, c.score) << "big scores while current";
    }
}

TEST_F(LinkCurrent, BecomingCurrentResetsTheScoreAndShowsTheMenuNameCutToFit) {
    table.score = 500;
    Add<Dummy>("");
    Link* link = Add<Link>(
        "from = 0; initially_current = 1; can_resetscores_wbc = 1; can_actmenu_whencurrent = 1; "
        "change_current_timeout = 0.5; timeout_next = 2; menu_name = \"" +
        std::string(50, 'm') + "\";");
    Link* next = Add<Link>("from = 0;");
    EXPECT_EQ(table.score, 0);
    Update(0.125f);
    EXPECT_EQ(screen.shown, std::vector<std::string>{std::string(33, 'm')});
    Update(0.25f);
    EXPECT_TRUE(link->is_current);
    Update(0.125f);
    EXPECT_FALSE(link->is_current) << "the timeout passes the token";
    EXPECT_TRUE(next->is_current);
}

TEST_F(LinkModes, TresLinkSetsTresModeOnEveryThirdFiringAndATresLinkScoresTresScores) {
    Dummy* source = Add<Dummy>("");
    TSwitch* light = Add<TSwitch>("");
    Link* scorer = Add<Link>("from = 0; scores = 10; tres_scores = 3; time_to_sleep = 0.0;");
    // current_only is ignored by a tres link.
    Add<Link>(
        "from = 0; can_set_tres_mode = 1; tres_mode_act_count = 3; tres_time = 2.5; "
        "scores = 1000; time_to_sleep = 0.0; To { current_only = 1; to = 1; };; To { to = 2; };;");
    std::vector<int> set, scores;
    for (int i = 0; i < 7; ++i) {
        light->tres_mode = scorer->tres_mode = 0;
        Fire(source);
        set.push_back(light->tres_mode);
        scores.push_back(table.score);
    }
    EXPECT_EQ(set, (std::vector<int>{0, 0, 1, 0, 0, 1, 0}));
    EXPECT_FALSE(light->lit) << "a tres link activates nothing";
    EXPECT_NEAR(light->tres_time_left, 2.5f, 0.011f);
    // The tres link stands later, so it acts first: the 3rd and 6th firings score 3.
    EXPECT_EQ(scores, (std::vector<int>{10, 20, 23, 33, 43, 46, 56}));
}

TEST_F(LinkModes, EnableTimerSwitchesTargetsOffAtStartOnWhenFiredAndOffAfterEeTime) {
    Dummy* source = Add<Dummy>("");
    Probe* gate = AddProbe();
    Probe* inverted = AddProbe(false);
    Add<Link>("from = 0; ee_cando = 1; ee_atstart = 1; ee_time = 0.5; To { to = 1; };;");
    Add<Link>("from = 0; ee_cando = 1; ee_invert = 1; ee_time = 0.375; To { to = 2; };;");
    Update(0.125f);
    EXPECT_FALSE(gate->Enabled());
    Update(0.125f);
    EXPECT_FALSE(inverted->Enabled());
    Update(0.125f);
    EXPECT_TRUE(inverted->Enabled()) << "no ee_atstart: the timer runs from the load";
    Fire(source, 1, 0.125f);
    EXPECT_TRUE(gate->Enabled());
    EXPECT_FALSE(inverted->Enabled());
    EXPECT_EQ(gate->activations, 0);
    for (int i = 0; i < 3; ++i)
        Update(0.125f);
    EXPECT_TRUE(gate->Enabled());
    Update(0.125f);
    EXPECT_FALSE(gate->Enabled());
}

TEST_F(LinkIndices, RemovingElementThreeTurnsTwoAndFiveIntoTwoAndFourAndSwapsExchange) {
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
    EXPECT_EQ(link->targets[1].to, 4);
    EXPECT_TRUE(SwapLinkIndices(table, 2, 4));
    EXPECT_EQ(link->from, 2);
    EXPECT_EQ(link->next, 4);
    EXPECT_EQ(link->targets[0].to, 4);
    EXPECT_EQ(link->targets[1].to, 2);
}

TEST_F(LinkIndices, SaveWritesTheFireCountAsChangeOffset) {
    Dummy* source = Add<Dummy>("");
    Link* link = Add<Link>(
        "from = 0; change_step = 1; change_offset = 4; time_to_sleep = 0.0; "
        "To { current_only = 1; to = 0; };;");
    Fire(source);
    std::string text;
    link->Save(&text);
    EXPECT_NE(text.find("\r\n change_step = 1;\r\n change_offset = 5;\r\n"), std::string::npos);
    EXPECT_NE(text.find(" timeout_next = -1;\r\n To { current_only = 1; to = 0; };\r\n};;\r\n"),
              std::string::npos);
}

}  // namespace
