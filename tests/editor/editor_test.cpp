#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "editor/browser_opener.h"
#include "physics/collision_form.h"
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

}  // namespace

TEST_F(EditorTest, ListShowsTheHighestIndexFirstInTheLineFormat) {
    LoadTable(kThree);
    EditorView v = editor.View();
    ASSERT_EQ(v.lines.size(), 3u);
    EXPECT_EQ(v.lines[0].index, 2);
    EXPECT_EQ(v.lines[1].index, 1);
    EXPECT_EQ(v.lines[2].index, 0);
    EXPECT_EQ(v.lines[0].text, Line("#%03d + 0x%08X - [FORM]", 2, table.Element(2)));
    EXPECT_EQ(v.lines[1].text, Line("#%03d + 0x%08X - [LINK]", 1, table.Element(1)));
    EXPECT_EQ(v.lines[2].text, std::string(25, '-'));
    EXPECT_EQ(v.selected, -1);
    EXPECT_FALSE(v.editable);
    EXPECT_EQ(v.text, "");

    // '-' once the element is out of play; an unknown type shows "????".
    editor.EnableEditor(Pick(1));
    EXPECT_EQ(editor.View().lines[1].text, Line("#%03d - 0x%08X - [LINK]", 1, table.Element(1)));
    Refuser odd;
    odd.type = 99;
    EXPECT_EQ(ElementListLine(12, &odd), Line("#%03d - 0x%08X - [????]", 12, &odd));
}

TEST_F(EditorTest, UpAndDownSwapNeighboursAndTheLinksFollowButNotPastTheEnds) {
    LoadTable(Dummies(2) + "Link { from = 0; To { to = 1; };; };;\r\n");
    TableObject* first = table.Element(0);
    TableObject* link = table.Element(2);
    const std::uint64_t before = editor.Events().listVersion;

    // "D" on index 0 and "U" on the last index do nothing.
    EXPECT_EQ(editor.Down(Pick(0)).code, EditorResult::DONE);
    EXPECT_EQ(editor.Up(Pick(2)).code, EditorResult::DONE);
    EXPECT_EQ(table.Element(0), first);
    EXPECT_EQ(table.Element(2), link);
    EXPECT_EQ(editor.Events().listVersion, before);

    // "U" on 0: it goes to index 1, one line up the list, and stays selected.
    EXPECT_EQ(editor.Up(Pick(0)).code, EditorResult::DONE);
    EXPECT_EQ(table.Element(1), first);
    EXPECT_EQ(editor.View().selected, 1);
    EXPECT_EQ(LinkAt(2)->from, 1);
    EXPECT_EQ(LinkAt(2)->targets[0].to, 0);

    // "D" on the link: indices 2 and 1 swap in its own keys too.
    EXPECT_EQ(editor.Down(Pick(2)).code, EditorResult::DONE);
    ASSERT_EQ(table.Element(1), link);
    EXPECT_EQ(LinkAt(1)->from, 2);
    EXPECT_EQ(LinkAt(1)->targets[0].to, 0);
    EXPECT_TRUE(LinkAt(1)->valid);
    EXPECT_EQ(editor.View().selected, 1);
}

TEST_F(EditorTest, RemoveRenumbersLinksAndClearsTheSelection) {
    LoadTable(Dummies(6) + "Link { from = 2; To { to = 5; };; };;\r\n");
    ASSERT_TRUE(LinkAt(6)->valid);
    EXPECT_EQ(editor.Remove(Pick(3)).code, EditorResult::DONE);
    ASSERT_EQ(table.ElementCount(), 6);
    Link* link = LinkAt(5);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->from, 2);
    EXPECT_EQ(link->targets[0].to, 4);
    EXPECT_TRUE(link->valid);
    EXPECT_TRUE(link->Enabled());
    EXPECT_EQ(editor.View().selected, -1);

    // A reference to the removed element itself is left as it is: it names
    // whatever moved into its place (here the link).
    EXPECT_EQ(editor.Remove(Pick(4)).code, EditorResult::DONE);
    EXPECT_EQ(LinkAt(4)->targets[0].to, 4);
    EXPECT_EQ(LinkAt(4)->from, 2);
}

TEST_F(EditorTest, ApplyToALinkKeepsKeysTheTextLeavesOutAndEmptiesItsTargets) {
    LoadTable(Dummies(3) +
              "Link { from = 1; big_scores = 7; time_to_sleep = 0.5; menu_name = \"bonus\"; "
              "To { to = 2; };; To { current_only = 1; to = 0; };; };;\r\n");
    const EditorExpect link = Pick(3);
    ASSERT_TRUE(table.Element(3)->Enabled());

    // In play: the text can't be applied until "Enable editor".
    EXPECT_FALSE(editor.View().editable);
    EXPECT_EQ(editor.Apply(link, "Anything { scores = 10; }").code, EditorResult::REFUSED);
    EXPECT_EQ(LinkAt(3)->scores, 0);

    EXPECT_EQ(editor.EnableEditor(link).code, EditorResult::DONE);
    EXPECT_FALSE(table.Element(3)->Enabled());
    EXPECT_TRUE(editor.View().editable);

    EXPECT_EQ(editor.Apply(link, "Anything { scores = 10; }").code, EditorResult::DONE);
    Link* l = LinkAt(3);
    EXPECT_EQ(l->scores, 10);
    EXPECT_EQ(l->from, 1);
    EXPECT_EQ(l->big_scores, 7);
    EXPECT_FLOAT_EQ(l->time_to_sleep, 0.5f);
    EXPECT_EQ(l->name, "bonus");
    EXPECT_EQ(l->targets.Count, 0);
    // Back in play, still selected, its new text shown.
    EXPECT_TRUE(l->Enabled());
    const EditorView v = editor.View();
    EXPECT_EQ(v.selected, 3);
    EXPECT_FALSE(v.editable);
    EXPECT_NE(v.text.find(" scores = 10;\r\n"), std::string::npos);
    EXPECT_EQ(v.text.find("To {"), std::string::npos);
}

TEST_F(EditorTest, AFailedApplyIsReportedAndATextWithoutABlockTouchesNothing) {
    auto refuser = std::make_unique<Refuser>();
    Refuser* r = refuser.get();
    table.AppendElement(std::move(refuser));
    const EditorExpect e = Pick(0);
    r->SetEnabled(false);

    std::string log = LogAddedBy([&] {
        EditorResult result = editor.Apply(e, "X { value = 4; fail = 1; }");
        EXPECT_EQ(result.code, EditorResult::FAILED);
        EXPECT_EQ(result.message, "Failed t apply script !");
    });
    EXPECT_EQ(log, "Failed t apply script !\r\n");
    EXPECT_EQ(r->value, 4);  // what Clear and the partial read left
    EXPECT_EQ(editor.View().selected, 0);

    // No brace after the name: no block, so no Clear either.
    r->SetEnabled(false);
    const int clears = r->clears, loads = r->loads;
    EXPECT_EQ(editor.Apply(e, "value = 9;").code, EditorResult::FAILED);
    EXPECT_EQ(editor.Apply(e, "").code, EditorResult::FAILED);
    EXPECT_EQ(r->clears, clears);
    EXPECT_EQ(r->loads, loads);
    EXPECT_EQ(r->value, 4);

    // 8191 characters are taken, 8192 are not.
    std::string text = "X { value = 5; }";
    text.append(std::size_t(kEditTextMax) - text.size(), ' ');
    EXPECT_EQ(editor.Apply(e, text).code, EditorResult::DONE);
    EXPECT_EQ(r->value, 5);
    r->SetEnabled(false);
    EXPECT_EQ(editor.Apply(e, text + " ").code, EditorResult::REFUSED);
}

TEST_F(EditorTest, CommandsActOnlyOnTheElementThePageShows) {
    LoadTable(kThree);
    // A page that still shows an element the table no longer has.
    EXPECT_EQ(editor.Select({1, ElementId(table.Element(1)) ^ 1u}).code, EditorResult::STALE);
    EXPECT_EQ(editor.Select({3, 0}).code, EditorResult::STALE);
    const EditorExpect link = Pick(1);
    EXPECT_EQ(editor.Remove(At(0)).code, EditorResult::STALE);
    EXPECT_EQ(editor.Remove({-1, 0}).code, EditorResult::STALE);
    EXPECT_EQ(table.ElementCount(), 3);

    // A reload empties the list: the old selection is gone.
    LoadTable(kThree);
    EXPECT_EQ(editor.View().selected, -1);
    EXPECT_EQ(editor.Remove(link).code, EditorResult::STALE);
    EXPECT_EQ(editor.Remove({-1, 0}).code, EditorResult::NO_SELECTION);
    EXPECT_EQ(table.ElementCount(), 3);

    EXPECT_EQ(editor.Select({-1, 0}).code, EditorResult::DONE);
    EXPECT_EQ(editor.View().selected, -1);
}

TEST_F(EditorTest, CreateOffersTheSixteenKindsSortedAndAddsADisabledElement) {
    const std::vector<std::string> expected = {
        "Ball",      "Ball generator", "Collision Form", "Dummy object",
        "Handle",    "Link",           "Locker",         "Sound",
        "Srping",    "Static picture", "Static sprite",  "Switch",
        "Switch #2", "Teleporter",     "Text Message",   "Traveling String"};
    EXPECT_EQ(CreatableTypeNames(), expected);

    LoadTable(kThree);
    ASSERT_EQ(editor.Create("Link").code, EditorResult::DONE);
    ASSERT_EQ(table.ElementCount(), 4);
    TableObject* made = table.Element(3);
    EXPECT_EQ(made->type, ELEMENT_LINK);
    EXPECT_FALSE(made->Enabled());
    const EditorView v = editor.View();
    EXPECT_EQ(v.selected, 3);
    EXPECT_TRUE(v.editable);
    EXPECT_EQ(v.text.rfind("Link {\r\n from = -1;\r\n", 0), 0u);

    // Every kind makes its own type; the misspelt plunger too.
    for (const std::string& name : expected) {
        ASSERT_EQ(editor.Create(name).code, EditorResult::DONE) << name;
        EXPECT_EQ(editor.SelectedLocked()->type, TypeCodeOfDisplayName(name)) << name;
    }
    EXPECT_EQ(TypeCodeOfDisplayName("Srping"), ELEMENT_SPRING);
    EXPECT_EQ(editor.Create("Spring").code, EditorResult::REFUSED);
    EXPECT_EQ(table.ElementCount(), 4 + int(expected.size()));
}

TEST_F(EditorTest, DeveloperKeysActOnTheSelectedElementOnly) {
    LoadTable(kThree);
    EXPECT_FALSE(editor.MoveSelection(0.0125f, 0.0f));
    auto* form = dynamic_cast<CollisionForm*>(table.Element(2));
    ASSERT_NE(form, nullptr);
    Pick(2);
    const std::uint64_t text = editor.Events().textVersion;
    EXPECT_TRUE(editor.MoveSelection(10.0f / 800.0f, -1.0f / 600.0f));
    EXPECT_FLOAT_EQ(form->pivot.x, 0.5f + 0.0125f);
    EXPECT_FLOAT_EQ(form->pivot.y, 0.5f - 1.0f / 600.0f);
    EXPECT_EQ(editor.Events().textVersion, text + 1);

    EXPECT_TRUE(editor.AddVertex());
    EXPECT_EQ(form->vertices.Count, 3);
    EXPECT_TRUE(editor.ToggleHandle(+1));
    EXPECT_TRUE(editor.RemoveVertex());
    EXPECT_EQ(form->vertices.Count, 2);
}

TEST_F(EditorTest, OnlyTheSelectedElementDrawsItsEditorView) {
    LoadTable(kThree);
    Picture* back = display.BackPicture();
    display.BackSurface()->Fill(0);
    // The form's first line runs from (80, 60) to (240, 60).
    editor.DrawSelection(back);
    EXPECT_EQ(PixelAt(back, 160, 60), 0x000000u);
    Pick(2);
    editor.DrawSelection(back);
    EXPECT_EQ(PixelAt(back, 160, 60), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(back, 160, 61), 0x000000u);
}

TEST_F(EditorTest, EventsWakeAWaitingPageAndCarryTheFileDialogs) {
    LoadTable(kThree);
    EditorEvents e = editor.Events();
    // Nothing new: the wait runs out and the counters are as they were.
    EXPECT_EQ(editor.WaitForEvents(e.version, std::chrono::milliseconds(20)).version, e.version);
    editor.TableLoaded("data\\tables\\t.script");
    EditorEvents after = editor.WaitForEvents(e.version, std::chrono::seconds(5));
    EXPECT_EQ(after.listVersion, e.listVersion + 1);

    editor.ShowFileDialog(EditorFileDialog::SAVE);
    after = editor.Events();
    EXPECT_EQ(after.dialog, "save");
    EXPECT_EQ(after.dialogSerial, e.dialogSerial + 1);

    EXPECT_FALSE(editor.CloseRequested());
    editor.RequestClose();
    EXPECT_TRUE(editor.CloseRequested());
    EXPECT_TRUE(editor.WaitForEvents(editor.Events().version, std::chrono::seconds(5)).closed);
}

TEST_F(EditorTest, OpenAndSaveTakeSystemPathsAndHandTheFileToTheGameOnce) {
    ScratchDir dir("editor_files");
    WriteFile(dir.File("tables/one.script"), "Dummy { };;");
    WriteFile(dir.File("tables/Two.SCRIPT"), "Dummy { };;");
    WriteFile(dir.File("tables/deep/three.script"), "Dummy { };;");
    WriteFile(dir.File("tables/notes.txt"), "");
    const std::string folder = dir.Path() + "\\tables\\";
    LoadTable(kThree, (folder + "one.script").c_str());

    const EditorFiles files = editor.Files();
    EXPECT_EQ(files.folder, folder);
    EXPECT_EQ(files.current, folder + "one.script");
    const std::vector<std::string> listed = {folder + "deep\\three.script", folder + "one.script",
                                             folder + "Two.SCRIPT"};
    EXPECT_EQ(files.files, listed);

    std::string path;
    bool reload = false;
    EXPECT_FALSE(editor.TakeTableFile(&path, &reload));
    // A missing file would load as an empty table: refused.
    EXPECT_EQ(editor.OpenTable(folder + "none").code, EditorResult::REFUSED);
    EXPECT_EQ(editor.OpenTable("  ").code, EditorResult::REFUSED);
    // Forward slashes and a missing extension are the system's form after all.
    EXPECT_EQ(editor.OpenTable(dir.Path() + "/tables/deep/three").code, EditorResult::DONE);
    ASSERT_TRUE(editor.TakeTableFile(&path, &reload));
    EXPECT_EQ(path, folder + "deep\\three.script");
    EXPECT_TRUE(reload);
    EXPECT_FALSE(editor.TakeTableFile(&path, &reload));

    EXPECT_EQ(editor.SaveTable(folder + "saved").code, EditorResult::DONE);
    ASSERT_TRUE(editor.TakeTableFile(&path, &reload));
    EXPECT_EQ(path, folder + "saved.script");
    EXPECT_FALSE(reload);
    EXPECT_EQ(ReadFile(dir.File("tables/saved.script")).rfind("ScreenRect{", 0), 0u);
    EXPECT_EQ(editor.Files().current, folder + "saved.script");

    // A path cut to fit would name another file.
    EXPECT_EQ(editor.SaveTable(std::string(256, 'a') + ".script").code, EditorResult::REFUSED);
    EXPECT_EQ(editor.SaveTable(folder + "no\\such\\folder\\x.script").code, EditorResult::FAILED);
    EXPECT_FALSE(editor.TakeTableFile(&path, &reload));
}

TEST(EditorBrowserOpener, StartsTheDesktopsOpenerWithTheAddressAsOneArgument) {
    ScratchDir dir("opener");
    const std::string bin = std::filesystem::absolute(dir.Path()).string();
    const std::string got = bin + "/got.txt";
    WriteFile(dir.File("xdg-open"), "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '" + got + "'\n");
    std::filesystem::permissions(dir.File("xdg-open"), std::filesystem::perms::owner_all);
    const std::string saved = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", ("/nonexistent:" + bin).c_str(), 1);
    const std::string url = "http://127.0.0.1:5/?t=ab cd;$(false)";
    const bool opened = OpenInDesktopBrowser(url);
    setenv("PATH", "/nonexistent", 1);
    const bool withoutOpener = OpenInDesktopBrowser(url);
    setenv("PATH", saved.c_str(), 1);
    EXPECT_TRUE(opened);
    EXPECT_FALSE(withoutOpener);
    for (int i = 0; i < 500 && ReadFile(got).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(ReadFile(got), "1|" + url);
}
