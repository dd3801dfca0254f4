#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "input/control_binding.h"
#include "script/script_block.h"
#include "table/element_factory.h"
#include "table/scores.h"
#include "table/table.h"
#include "tests/test_files.h"

namespace {

std::vector<std::string> g_log;

// An element that writes what is done to it into g_log. Keys: tag (its
// name in the log), fail (Load fails), off (loads disabled), event (raises
// its event when stepped), menu (asks for the game screen item "clip").
// As a ball it joins the ball list; as a traveling string it registers as
// the welcome message.
class Recorder : public TableObject, public TableBall, public TableMessage {
public:
    Recorder(Table& table, int code) : table_(table) {
        type = code;
        if (code == ELEMENT_BALL)
            table.AddBall(this);
    }
    ~Recorder() override { table_.RemoveBall(this); }
    bool Load(const ScriptBlock& block) override {
        ReadKeys(block,
                 {KeyDef::Word("tag", &tag), KeyDef::Int("fail", &fail), KeyDef::Int("off", &off),
                  KeyDef::Int("event", &event), KeyDef::Int("menu", &menu)});
        SetEnabled(off == 0);
        if (type == ELEMENT_TRAVELING_STRING)
            table_.RegisterMessage(MESSAGE_WELCOME, this, this);
        return fail == 0;
    }
    void Clear() override {}
    void Step(float) override {
        Note("step");
        event_flag = event ? 1 : event_flag;
        if (menu)
            menu_request = 1, name = "clip";
    }
    void Reset() override { Note("reset"); }
    void Activate() override { ++activations, Note("activate"); }
    void Draw(Picture*, int x, int y) override { Note("draw"), offset = {x, y}; }
    void Note(const char* what) { g_log.push_back(std::string(what) + " " + tag.c_str()); }
    // As a ball.
    TableObject* Object() override { return this; }
    void Jolt(float dvx, float dvy) override { vx += dvx, vy += dvy; }
    // As a message.
    bool IsActive() const override { return active; }
    void SetActive(bool on) override { active = on; }
    void ShowMessage(const char* text) override { shown = text; }
    void ShowLine(int) override {}
    int LineCount() const override { return 0; }

    Table& table_;
    FixedString<32> tag;
    std::int32_t fail = 0, off = 0, event = 0, menu = 0;
    int activations = 0;
    std::pair<int, int> offset;
    float vx = 0.0f, vy = 0.0f;
    bool active = false;
    std::string shown;
};

template <int Code>
std::unique_ptr<TableObject> Make(Table& t) {
    return std::make_unique<Recorder>(t, Code);
}

struct ScreenLog : GameScreenLink {
    void ShowItem(const char* n) override { g_log.push_back(std::string("show ") + n); }
};

class TableTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterElementClass(BLOCK_DUMMY, &Make<ELEMENT_DUMMY>);
        RegisterElementClass(BLOCK_LINK, &Make<ELEMENT_LINK>);
        RegisterElementClass(BLOCK_SWITCH, &Make<ELEMENT_SWITCH>);
        RegisterElementClass(BLOCK_TSWITCH, &Make<ELEMENT_TSWITCH>);
        RegisterElementClass(BLOCK_STATIC_SPRITE, &Make<ELEMENT_STATIC_SPRITE>);
        RegisterElementClass(BLOCK_MAIN_BALL, &Make<ELEMENT_BALL>);
        RegisterElementClass(BLOCK_TRAVELING_STRING, &Make<ELEMENT_TRAVELING_STRING>);
        g_log.clear();
    }

    void Load(const std::string& script) {
        WriteFile(dir.File("t.script"), script);
        table.Load(dir.File("t.script").c_str(), "Tester");
    }

    // Ends the light show without stepping anything else.
    void SkipLightShow() {
        table.Update(nullptr, 2.0f);
        g_log.clear();
    }

    Recorder* At(int i) { return static_cast<Recorder*>(table.Element(i)); }

    // n dummies tagged e0, e1, ...; then the tags left, in order.
    void LoadDummies(int n) {
        std::string script;
        for (int i = 0; i < n; ++i)
            script += "Dummy { tag = \"e" + std::to_string(i) + "\"; };;";
        Load(script);
        SkipLightShow();
    }
    std::string Tags() {
        std::string left;
        for (int i = 0; i < table.ElementCount(); ++i)
            left += std::string(At(i)->tag.c_str()) + " ";
        return left;
    }

    ScratchDir dir{"table_test"};
    Table table{7};
};

TEST_F(TableTest, LoadMatchesBlockNamesExactlySkipsUnknownAndDropsFailedElements) {
    static int seenByHook = -1;  // the loaded hook runs before the table counts as loaded
    RegisterTableLoadedHook([](Table& t) { seenByHook = t.loaded ? -2 : t.ElementCount(); });
    std::string log = LogAddedBy([&] {
        Load(
            "Srping { x = 1; };; mainball { };; Bogus { Dummy { tag = \"inner\"; };; };;\r\n"
            "Dummy { fail = 1; };; Dummy { tag = \"a\"; };; MainBall { tag = \"ball\"; };; "
            "Dummy;\r\n");
    });
    EXPECT_NE(log.find("failed to load object"), std::string::npos);
    ASSERT_EQ(table.ElementCount(), 2);
    EXPECT_EQ(At(0)->tag, "a");
    EXPECT_EQ(At(1)->type, ELEMENT_BALL);
    EXPECT_EQ(table.BallCount(), 1);
    EXPECT_TRUE(table.loaded);
    RegisterTableLoadedHook(nullptr);
    EXPECT_EQ(seenByHook, 2);
    // A missing script gives an empty table that still counts as loaded.
    table.Load(dir.File("none.script").c_str(), "Tester");
    EXPECT_TRUE(table.loaded);
    EXPECT_EQ(table.ElementCount(), 0);
}

TEST_F(TableTest, SettingsBlocksAndTheirDefaultsOnReload) {
    Load(
        "ScreenRect { left = 10; right = 410; top = 20; bottom = 320; };;"
        "TableSettings { ball_count = 3; };;");
    EXPECT_EQ(table.ball_count, 3);
    EXPECT_EQ(table.ScreenX(0.5f), 210);
    EXPECT_EQ(table.ScreenY(0.25f), 95);
    Load("Dummy { };;");
    EXPECT_EQ(table.ball_count, 10);
    EXPECT_EQ(table.ScreenX(1.0f), 800);
}

TEST_F(TableTest, LightShowStepsOnlyLightsThenResetsInAnUpdateOfItsOwn) {
    Load(
        "Dummy { tag = \"d\"; };; Switch { tag = \"s\"; event = 1; };; "
        "MainBall { tag = \"ball\"; };;");
    table.Update(nullptr, 1.0f);
    std::erase(g_log, "activate s");  // at random: the odds are tested below
    EXPECT_EQ(g_log, (std::vector<std::string>{"step s"}));
    EXPECT_EQ(At(1)->event_flag, 1);
    g_log.clear();
    table.Update(nullptr, 1.0f);
    EXPECT_EQ(g_log, (std::vector<std::string>{"reset ball", "reset s", "reset d"}));
    EXPECT_EQ(At(1)->event_flag, 0) << "an event of the show must not fire a rule in play";
    g_log.clear();
    table.Update(nullptr, 0.01f);
    EXPECT_EQ(g_log, (std::vector<std::string>{"step ball", "step s", "step d"}));
}

TEST_F(TableTest, LightShowActivatesSpritesSwitchesAndTimedSwitchesAtTheirOdds) {
    Load("StaticSprite { };; Switch { };; TSwitch { };; Dummy { };;");
    table.lightShowTime = 1e9f;
    const int frames = 200000;
    for (int i = 0; i < frames; ++i) {
        table.Update(nullptr, 0.01f);
        g_log.clear();
    }
    // Within five standard deviations of 1 in 27, 64 and 32.
    const int odds[] = {27, 64, 32, 0};
    for (int i = 0; i < 4; ++i) {
        const double p = odds[i] ? 1.0 / odds[i] : 0.0;
        EXPECT_NEAR(At(i)->activations, frames * p, 5.0 * std::sqrt(frames * p * (1.0 - p))) << i;
    }
}

TEST_F(TableTest, ShakeOffsetsEveryDrawingBySineAndCosineOfItsTime) {
    Load("Dummy { tag = \"d\"; };;");
    // (trunc(2 sin(20 pi t)), trunc(cos(5 pi t))) while the shake runs.
    const std::pair<float, std::pair<int, int>> cases[] = {
        {0.0125f, {1, 0}}, {0.025f, {2, 0}}, {0.075f, {-2, 0}}, {0.2f, {0, -1}}, {0.4f, {0, 1}}};
    for (auto [time, offset] : cases) {
        table.shake = true;
        table.shakeTime = time;
        table.Draw(nullptr);
        EXPECT_EQ(At(0)->offset, offset) << time;
    }
    table.shake = false;
    table.Draw(nullptr);
    EXPECT_EQ(At(0)->offset, std::make_pair(0, 0));
}

TEST_F(TableTest, UpdateStepsNonLinksThenLinksBackwardsAndLowersEvents) {
    Load(
        "Dummy { tag = \"a\"; event = 1; };; Link { tag = \"l1\"; menu = 1; };;"
        "Dummy { tag = \"b\"; };; Link { tag = \"l2\"; event = 1; };; Dummy { tag = \"c\"; off = "
        "1; };;");
    SkipLightShow();
    ScreenLog screen;
    table.Update(&screen, 0.01f);
    EXPECT_EQ(g_log,
              (std::vector<std::string>{"step b", "step a", "step l2", "step l1", "show clip"}));
    for (int i = 0; i < table.ElementCount(); ++i)
        EXPECT_EQ(At(i)->event_flag, 0) << i;
    EXPECT_EQ(At(1)->menu_request, 0);
}

TEST_F(TableTest, QueuedRemovalsGoFromTheHighestIndexDown) {
    LoadDummies(9);
    for (int i : {5, 7, 3, 3, 42})  // 3 named twice is still one element
        table.QueueRemoval(i);
    table.Update(nullptr, 0.0f);
    EXPECT_EQ(Tags(), "e0 e1 e2 e4 e6 e8 ");
    EXPECT_EQ(table.QueuedRemovals(), 0);
}

TEST_F(TableTest, BallsAreDrawnTogetherOnceAtTheForemostBallEntry) {
    Load(
        "Dummy { tag = \"top\"; };; MainBall { tag = \"b1\"; };; Dummy { tag = \"mid\"; };;"
        "MainBall { tag = \"b2\"; };; Dummy { tag = \"under\"; };;"
        "MainBall { tag = \"b3\"; };; MainBall { tag = \"b4\"; off = 1; };;");
    table.Draw(nullptr);
    EXPECT_EQ(g_log, (std::vector<std::string>{"draw under", "draw mid", "draw b3", "draw b2",
                                               "draw b1", "draw top"}));
}

TEST_F(TableTest, BallBlocksPastTheSixtyFourthAreLeftOutWithOneMessage) {
    std::string script;
    for (int i = 0; i < 70; ++i)
        script += "MainBall { };; Dummy { tag = \"d" + std::to_string(i) + "\"; };;";
    const std::string log = LogAddedBy([&] { Load(script); });
    EXPECT_EQ(table.BallCount(), Table::kMaxBalls);
    EXPECT_EQ(table.ElementCount(), 64 + 70);
    EXPECT_EQ(At(table.ElementCount() - 1)->tag, "d69");
    const std::string text = "6 balls left out: a table holds at most 64 balls";
    EXPECT_NE(log.find(text), std::string::npos) << log;
    EXPECT_EQ(log.find(text), log.rfind(text));
}

TEST_F(TableTest, HeldTiltNudgesEverySevenTenthsOfASecondWarnsOnTheSecondAndTiltsOnTheThird) {
    InputManager input;
    platform::ManualKeyboard keyboard;
    ControlBinding tilt;
    tilt.name = "TILT", tilt.device = DEVICE_KEYBOARD, tilt.devicecode = KeyNameToCode("T");
    input.bindings.Append(tilt);
    input.controls.tilt = 0;
    input.SetKeyboard(&keyboard);
    table.SetInput(&input);
    Load("MainBall { tag = \"ball\"; };;");
    Recorder next(table, ELEMENT_DUMMY);
    table.RegisterMessage(MESSAGE_NEXTBALL, nullptr, &next);
    SkipLightShow();
    auto* ball = At(0);
    keyboard.Set(KeyNameToCode("T"), true);
    std::vector<std::pair<int, std::string>> nudges;  // frame, message shown
    for (int frame = 0; frame < 200; ++frame) {
        input.Poll();
        const int before = table.tiltWarnings;
        table.Update(nullptr, 0.01f);
        if (table.tiltWarnings != before)
            nudges.emplace_back(frame, next.shown);
        if (frame == 0) {
            EXPECT_TRUE(table.shake);
            EXPECT_EQ(std::fabs(ball->vx), Table::kJolt);
            EXPECT_EQ(std::fabs(ball->vy), Table::kJolt);
        }
    }
    // A nudge waits for the 0.7 s shake to end; none counts once tilted.
    EXPECT_EQ(nudges, (std::vector<std::pair<int, std::string>>{
                          {0, ""},
                          {71, "Warning! Don't press tilt anymore!"},
                          {142, "You've been warned! Tilt mode!!!"}}));
    EXPECT_TRUE(table.tiltMode);
}

TEST_F(TableTest, WelcomeShowsOnlyAfterTheFirstLoad) {
    Load("TravelingString { tag = \"w\"; };;");
    EXPECT_TRUE(At(0)->active);
    Load("TravelingString { tag = \"w\"; };;");
    EXPECT_FALSE(At(0)->active);
    // Destroying the element drops its registration.
    table.QueueRemoval(0);
    table.Update(nullptr, 0.0f);
    EXPECT_EQ(table.Message(MESSAGE_WELCOME), nullptr);
}

TEST_F(TableTest, ClearRecordsTheScoreOnceAndOnlyALoadedTableSaves) {
    ScoresList scores;
    table.SetScores(&scores, dir.File("scores").c_str());
    std::string text;
    EXPECT_FALSE(table.SaveText(&text));
    Load("Dummy { };;");
    EXPECT_FALSE(table.Save(dir.File("no/such/folder/out.script").c_str()));
    table.score = 1234;
    table.Clear();
    table.score = 99999;
    table.Clear();  // not loaded any more: records nothing
    ScoresList reread;
    ASSERT_TRUE(reread.Read(dir.File("scores").c_str()));
    ASSERT_EQ(reread.players.Count, 1);
    EXPECT_STREQ(reread.players[0].name, "Tester");
    ASSERT_EQ(reread.players[0].results.Count, 1);
    EXPECT_EQ(reread.players[0].results[0].score, 1234);
}

}  // namespace

TEST_F(TableTest, EditorRemovalsAndSwapsKeepQueuedRemovalsOnTheirElements) {
    LoadDummies(6);
    // e5 and e2 are queued; the editor then removes e1 (e5 moves to 4) and
    // swaps what are now 3 and 4 (e5 moves to 3).
    table.QueueRemoval(5);
    table.QueueRemoval(2);
    ASSERT_TRUE(table.RemoveElement(1));
    ASSERT_TRUE(table.SwapElements(3, 4));
    EXPECT_FALSE(table.RemoveElement(5));
    EXPECT_FALSE(table.SwapElements(0, 5));
    EXPECT_FALSE(table.SwapElements(-1, 0));
    // Removing a queued element takes its queue entry with it.
    table.QueueRemoval(0);
    ASSERT_TRUE(table.RemoveElement(0));
    EXPECT_EQ(table.QueuedRemovals(), 2);
    table.Update(nullptr, 0.0f);
    EXPECT_EQ(Tags(), "e3 e4 ");
}
