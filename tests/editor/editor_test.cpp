#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "editor/browser_opener.h"
#include "tests/editor/editor_fixture.h"
#include "tests/render/render_fixture.h"

namespace {

std::string Line(const char* format, int index, const TableObject* e) {
    char text[64];
    std::snprintf(text, sizeof text, format, index, unsigned(ElementId(e)));
    return text;
}

const char* kThree =
    "Dummy { };;\r\n"
    "Link { from = 0; };;\r\n"
    "CollisionForm { atX = 0.5; atY = 0.5; Line { toX = 0.1; toY = 0.1; };; "
    "Line { toX = 0.3; toY = 0.1; };; };;\r\n";

// An element whose Load fails when its block says `fail = 1;`.
struct Refuser : TableObject {
    bool Load(const ScriptBlock& block) override {
        std::int32_t fail = 0;
        ReadKeys(block, {KeyDef::Int("fail", &fail), KeyDef::Int("value", &value)});
        ++loads;
        return fail == 0;
    }
    void Clear() override { ++clears; }
    std::int32_t value = 0;
    int loads = 0, clears = 0;
};

}  // namespace

TEST_F(EditorTest, TheListShowsTheHighestIndexFirstAndOnlyTheSelectionDrawsItsView) {
    LoadTable(kThree);
    EditorView v = editor.View();
    ASSERT_EQ(v.lines.size(), 3u);
    EXPECT_EQ(v.lines[0].text, Line("#%03d + 0x%08X - [FORM]", 2, table.Element(2)));
    EXPECT_EQ(v.lines[1].text, Line("#%03d + 0x%08X - [LINK]", 1, table.Element(1)));
    EXPECT_EQ(v.lines[2].text, std::string(25, '-')) << "a dummy";
    EXPECT_EQ(v.selected, -1);
    // '-' once the element is out of play; an unknown type shows "????".
    editor.EnableEditor(Pick(1));
    EXPECT_EQ(editor.View().lines[1].text, Line("#%03d - 0x%08X - [LINK]", 1, table.Element(1)));
    Refuser odd;
    odd.type = 99;
    EXPECT_EQ(ElementListLine(12, &odd), Line("#%03d - 0x%08X - [????]", 12, &odd));
    // The form's first line runs from (80, 60) to (240, 60): drawn when selected.
    Picture* back = display.BackPicture();
    display.BackSurface()->Fill(0);
    editor.DrawSelection(back);
    EXPECT_EQ(PixelAt(back, 160, 60), 0x000000u);
    Pick(2);
    editor.DrawSelection(back);
    EXPECT_EQ(PixelAt(back, 160, 60), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(back, 160, 61), 0x000000u);
}

TEST_F(EditorTest, UpDownAndRemoveRenumberTheLinksAndStopAtTheEnds) {
    LoadTable(Dummies(2) + "Link { from = 0; To { to = 1; };; };;\r\n");
    TableObject* first = table.Element(0);
    const std::uint64_t before = editor.Events().listVersion;
    // "D" on index 0 and "U" on the last index do nothing.
    EXPECT_EQ(editor.Down(Pick(0)).code, EditorResult::DONE);
    EXPECT_EQ(editor.Up(Pick(2)).code, EditorResult::DONE);
    EXPECT_EQ(table.Element(0), first);
    EXPECT_EQ(editor.Events().listVersion, before);
    // "U" on 0 moves it to index 1, one line up the list, still selected.
    EXPECT_EQ(editor.Up(Pick(0)).code, EditorResult::DONE);
    EXPECT_EQ(table.Element(1), first);
    EXPECT_EQ(editor.View().selected, 1);
    EXPECT_EQ(LinkAt(2)->from, 1);
    EXPECT_EQ(LinkAt(2)->targets[0].to, 0);
    // "D" on the link: indices 2 and 1 swap in its own keys too.
    EXPECT_EQ(editor.Down(Pick(2)).code, EditorResult::DONE);
    ASSERT_NE(LinkAt(1), nullptr);
    EXPECT_EQ(LinkAt(1)->from, 2);
    EXPECT_TRUE(LinkAt(1)->valid);

    // Removing element 3 moves every reference above it down by one.
    LoadTable(Dummies(6) + "Link { from = 2; To { to = 5; };; };;\r\n");
    EXPECT_EQ(editor.Remove(Pick(3)).code, EditorResult::DONE);
    ASSERT_NE(LinkAt(5), nullptr);
    EXPECT_EQ(LinkAt(5)->from, 2);
    EXPECT_EQ(LinkAt(5)->targets[0].to, 4);
    EXPECT_TRUE(LinkAt(5)->valid && LinkAt(5)->Enabled());
    EXPECT_EQ(editor.View().selected, -1);
    // A reference to the removed element itself is left as it is.
    EXPECT_EQ(editor.Remove(Pick(4)).code, EditorResult::DONE);
    EXPECT_EQ(LinkAt(4)->targets[0].to, 4);
}

TEST_F(EditorTest, ApplyWaitsForEnableKeepsKeysTheTextLeavesOutAndEmptiesTheTargets) {
    LoadTable(Dummies(3) +
              "Link { from = 1; big_scores = 7; time_to_sleep = 0.5; menu_name = \"bonus\"; "
              "To { to = 2; };; To { current_only = 1; to = 0; };; };;\r\n");
    const EditorExpect link = Pick(3);
    EXPECT_EQ(editor.Apply(link, "Anything { scores = 10; }").code, EditorResult::REFUSED)
        << "in play";
    EXPECT_EQ(editor.EnableEditor(link).code, EditorResult::DONE);
    EXPECT_TRUE(!table.Element(3)->Enabled() && editor.View().editable);
    EXPECT_EQ(editor.Apply(link, "Anything { scores = 10; }").code, EditorResult::DONE);
    Link* l = LinkAt(3);
    EXPECT_EQ(l->scores, 10);
    EXPECT_EQ(l->from, 1);
    EXPECT_EQ(l->big_scores, 7);
    EXPECT_FLOAT_EQ(l->time_to_sleep, 0.5f);
    EXPECT_EQ(l->name, "bonus");
    EXPECT_EQ(l->targets.Count, 0);
    // Back in play, still selected, its new text shown.
    const EditorView v = editor.View();
    EXPECT_TRUE(l->Enabled() && v.selected == 3 && !v.editable);
    EXPECT_NE(v.text.find(" scores = 10;\r\n"), std::string::npos);
}

TEST_F(EditorTest, AFailedApplyIsReportedAndATextWithoutABlockOrTooLongTouchesNothing) {
    auto owned = std::make_unique<Refuser>();
    Refuser* r = owned.get();
    table.AppendElement(std::move(owned));
    const EditorExpect e = Pick(0);
    r->SetEnabled(false);
    const std::string log = LogAddedBy([&] {
        EXPECT_EQ(editor.Apply(e, "X { value = 4; fail = 1; }").message, "Failed t apply script !");
    });
    EXPECT_EQ(log, "Failed t apply script !\r\n");
    EXPECT_EQ(r->value, 4) << "what Clear and the partial read left";
    r->SetEnabled(false);
    const int clears = r->clears, loads = r->loads;
    EXPECT_EQ(editor.Apply(e, "value = 9;").code, EditorResult::FAILED);
    EXPECT_EQ(editor.Apply(e, "").code, EditorResult::FAILED);
    EXPECT_EQ(r->clears, clears) << "no brace after the name: no block, no Clear";
    EXPECT_EQ(r->loads, loads);
    // 8191 characters are taken, 8192 are not.
    std::string text = "X { value = 5; }";
    text.append(std::size_t(kEditTextMax) - text.size(), ' ');
    EXPECT_EQ(editor.Apply(e, text + " ").code, EditorResult::REFUSED);
    EXPECT_EQ(editor.Apply(e, text).code, EditorResult::DONE);
    EXPECT_EQ(r->value, 5);
}

TEST_F(EditorTest, CommandsActOnlyOnTheElementThePageShows) {
    LoadTable(kThree);
    EXPECT_EQ(editor.Select({1, ElementId(table.Element(1)) ^ 1u}).code, EditorResult::STALE);
    EXPECT_EQ(editor.Select({3, 0}).code, EditorResult::STALE);
    const EditorExpect link = Pick(1);
    EXPECT_EQ(editor.Remove(At(0)).code, EditorResult::STALE);
    // A reload empties the list: the old selection is gone.
    LoadTable(kThree);
    EXPECT_EQ(editor.Remove(link).code, EditorResult::STALE);
    EXPECT_EQ(editor.Remove({-1, 0}).code, EditorResult::NO_SELECTION);
    EXPECT_EQ(table.ElementCount(), 3);
}

TEST_F(EditorTest, CreateOffersTheSixteenKindsSortedAndAddsADisabledElement) {
    const std::vector<std::string> kinds = {
        "Ball",      "Ball generator", "Collision Form", "Dummy object",
        "Handle",    "Link",           "Locker",         "Sound",
        "Srping",    "Static picture", "Static sprite",  "Switch",
        "Switch #2", "Teleporter",     "Text Message",   "Traveling String"};
    EXPECT_EQ(CreatableTypeNames(), kinds);
    LoadTable(kThree);
    ASSERT_EQ(editor.Create("Link").code, EditorResult::DONE);
    EXPECT_EQ(table.Element(3)->type, ELEMENT_LINK);
    EXPECT_FALSE(table.Element(3)->Enabled());
    const EditorView v = editor.View();
    EXPECT_TRUE(v.selected == 3 && v.editable);
    EXPECT_EQ(v.text.rfind("Link {\r\n from = -1;\r\n", 0), 0u);
    for (const std::string& name : kinds) {
        ASSERT_EQ(editor.Create(name).code, EditorResult::DONE) << name;
        EXPECT_EQ(editor.SelectedLocked()->type, TypeCodeOfDisplayName(name)) << name;
    }
    EXPECT_EQ(TypeCodeOfDisplayName("Srping"), ELEMENT_SPRING);
    EXPECT_EQ(editor.Create("Spring").code, EditorResult::REFUSED);
    while (table.BallCount() < Table::kMaxBalls)
        ASSERT_EQ(editor.Create("Ball").code, EditorResult::DONE);
    const int count = table.ElementCount();
    EXPECT_EQ(editor.Create("Ball").code, EditorResult::REFUSED);
    EXPECT_EQ(table.ElementCount(), count);
}

TEST_F(EditorTest, OpenAndSaveTakeSystemPathsAndHandTheFileToTheGameOnce) {
    ScratchDir dir("editor_files");
    for (const char* name : {"one.script", "Two.SCRIPT", "deep/three.script", "notes.txt"})
        WriteFile(dir.File(std::string("tables/") + name), "Dummy { };;");
    const std::string folder = dir.Path() + "\\tables\\";
    LoadTable(kThree, (folder + "one.script").c_str());
    const EditorFiles files = editor.Files();
    EXPECT_EQ(files.folder, folder);
    EXPECT_EQ(files.files,
              (std::vector<std::string>{folder + "deep\\three.script", folder + "one.script",
                                        folder + "Two.SCRIPT"}));
    std::string path;
    bool reload = false;
    // A missing file would load as an empty table: refused.
    EXPECT_EQ(editor.OpenTable(folder + "none").code, EditorResult::REFUSED);
    EXPECT_EQ(editor.OpenTable("  ").code, EditorResult::REFUSED);
    EXPECT_FALSE(editor.TakeTableFile(&path, &reload));
    // Forward slashes and a missing extension are the system's form after all.
    EXPECT_EQ(editor.OpenTable(dir.Path() + "/tables/deep/three").code, EditorResult::DONE);
    ASSERT_TRUE(editor.TakeTableFile(&path, &reload));
    EXPECT_EQ(path, folder + "deep\\three.script");
    EXPECT_TRUE(reload);
    EXPECT_FALSE(editor.TakeTableFile(&path, &reload)) << "once";

    EXPECT_EQ(editor.SaveTable(folder + "saved").code, EditorResult::DONE);
    ASSERT_TRUE(editor.TakeTableFile(&path, &reload));
    EXPECT_EQ(path, folder + "saved.script");
    EXPECT_FALSE(reload);
    EXPECT_EQ(ReadFile(dir.File("tables/saved.script")).rfind("ScreenRect{", 0), 0u);
    // A path cut to fit would name another file.
    EXPECT_EQ(editor.SaveTable(std::string(256, 'a') + ".script").code, EditorResult::REFUSED);
    EXPECT_EQ(editor.SaveTable(folder + "no\\such\\folder\\x.script").code, EditorResult::FAILED);
    EXPECT_FALSE(editor.TakeTableFile(&path, &reload));
}

// (A waiting page woken by a change: the HTTP tests.)
TEST_F(EditorTest, AWaitForEventsWithNothingNewRunsOut) {
    const EditorEvents e = editor.Events();
    EXPECT_EQ(editor.WaitForEvents(e.version, std::chrono::milliseconds(20)).version, e.version);
}

TEST(EditorBrowserOpener, StartsTheDesktopsOpenerWithTheAddressAsOneArgument) {
    ScratchDir dir("opener");
    const std::string bin = std::filesystem::absolute(dir.Path()).string(), got = bin + "/got.txt";
    WriteFile(dir.File("xdg-open"), "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '" + got + "'\n");
    std::filesystem::permissions(dir.File("xdg-open"), std::filesystem::perms::owner_all);
    const std::string saved = std::getenv("PATH") ? std::getenv("PATH") : "";
    const std::string url = "http://127.0.0.1:5/?t=ab cd;$(false)";
    setenv("PATH", ("/nonexistent:" + bin).c_str(), 1);
    EXPECT_TRUE(OpenInDesktopBrowser(url));
    setenv("PATH", "/nonexistent", 1);
    EXPECT_FALSE(OpenInDesktopBrowser(url)) << "no opener";
    setenv("PATH", saved.c_str(), 1);
    for (int i = 0; i < 500 && ReadFile(got).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(ReadFile(got), "1|" + url);
}
