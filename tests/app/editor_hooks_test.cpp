#include <atomic>
#include <thread>

#include "editor/editor_server.h"
#include "physics/collision_form.h"
#include "tests/app/game_fixture.h"

namespace {

using platform::WindowEventType;

const char* kTable =
    "ScreenRect { left = 0; right = 320; top = 0; bottom = 240; };;\r\n"
    "Dummy { };;\r\n"
    "CollisionForm { atX = 0.5; atY = 0.5; Line { toX = 0.1; toY = 0.1; };; "
    "Line { toX = 0.9; toY = 0.1; };; };;\r\n"
    "Link { from = 1; To { to = 0; };; };;\r\n";

// A developer's game in a window, playing a three-element table.
class EditorHooksTest : public GameTest {
protected:
    void SetUp() override {
        WriteGame("width = 320; height = 240; fullscreen = 0;", "MenuWrapper { };", 1, kTable);
        WriteFile("data/other.script", std::string(kTable) + "Dummy { };;\r\n");
        Start(false, true);
        app->LeaveMenu();
        Frames(1);
        ASSERT_EQ(app->table.ElementCount(), 3);
    }
    // A key by its code or its scan code, and what the game printed.
    std::string Key(int keyCode, int scanCode = 0, bool alt = false, bool ctrl = false) {
        testing::internal::CaptureStdout();
        Event(WindowEventType::KeyDown, keyCode, alt, scanCode, ctrl);
        return testing::internal::GetCapturedStdout();
    }
    Editor& Ed() { return app->editor->editor(); }
};

}  // namespace

TEST_F(EditorHooksTest, EOpensOneEditorInAWindowedDevelopersGameAndPrintsItsAddress) {
    app->display.fullscreen = true;
    EXPECT_EQ(Key('e'), "");
    app->display.fullscreen = false;
    app->developer = false;
    Key('e');
    EXPECT_FALSE(app->editor);
    app->developer = true;
    // "Editor: http://127.0.0.1:PORT/?t=" and 32 hexadecimal digits.
    const std::string line = Key('e'), head = "Editor: http://127.0.0.1:";
    ASSERT_TRUE(app->editor);
    const std::string tail = "/?t=" + app->editor->server().Token() + "\n";
    EXPECT_EQ(line, head + std::to_string(app->editor->server().Port()) + tail);
    EXPECT_EQ(tail.find_first_not_of("0123456789abcdef", 4), 36u) << line;
    DeveloperEditor* first = app->editor.get();
    EXPECT_EQ(Key('e'), line) << "again: the same editor, its address once more";
    EXPECT_EQ(app->editor.get(), first);
    EXPECT_EQ(Ed().Files().current, "data\\t0000.script");
}

TEST_F(EditorHooksTest, KeysMoveAndShapeTheSelectedElementInPixelsOfTheVideoSize) {
    Key('e');
    auto* form = dynamic_cast<CollisionForm*>(app->table.Element(1));
    ASSERT_NE(form, nullptr);
    Key(0, platform::SCANCODE_KEYPAD_6);
    EXPECT_FLOAT_EQ(form->pivot.x, 0.5f) << "nothing selected: the keys do nothing";
    ASSERT_EQ(Ed().Select({1, ElementId(form)}).code, EditorResult::DONE);
    Key(0, platform::SCANCODE_KEYPAD_6);
    EXPECT_FLOAT_EQ(form->pivot.x, 0.5f + 10.0f / 320.0f);
    Key(0, platform::SCANCODE_KEYPAD_4, false, true);
    EXPECT_FLOAT_EQ(form->pivot.x, 0.5f + 9.0f / 320.0f);
    Key(0, platform::SCANCODE_KEYPAD_8);
    EXPECT_FLOAT_EQ(form->pivot.y, 0.5f - 10.0f / 240.0f);
    Key(0, platform::SCANCODE_KEYPAD_2, false, true);
    Key(0, platform::SCANCODE_KEYPAD_5, false, true);
    EXPECT_FLOAT_EQ(form->pivot.y, 0.5f - 8.0f / 240.0f);
    Key(0, platform::SCANCODE_INSERT);
    EXPECT_EQ(form->vertices.Count, 3);
    Key(0, platform::SCANCODE_KEYPAD_MINUS);
    Key(0, platform::SCANCODE_KEYPAD_PLUS);
    Key(0, platform::SCANCODE_DELETE);
    EXPECT_EQ(form->vertices.Count, 2);
    // The form's line from (32, 24) to (288, 24) drawn after the frame's lock.
    Frames(1);
    EXPECT_EQ(PixelAt(app->display.BackPicture(), 160, 24), 0xFFFFFFu);
}

TEST_F(EditorHooksTest, ThePagesDialogsFilesAndCloseReachTheGameAtItsNextFrame) {
    Key('e');
    const EditorEvents before = Ed().Events();
    Key('l', 0, true);
    EXPECT_EQ(Ed().Events().dialog, "open");
    Key('s', 0, true);
    EXPECT_EQ(Ed().Events().dialog, "save");
    EXPECT_EQ(Ed().Events().dialogSerial, before.dialogSerial + 2);
    // A table load refreshes the page's list and empties the selection.
    ASSERT_EQ(Ed().Select({2, ElementId(app->table.Element(2))}).code, EditorResult::DONE);
    ASSERT_EQ(Ed().OpenTable("data/other").code, EditorResult::DONE);
    Frames(1);
    EXPECT_STREQ(app->tablePath.c_str(), "data\\other.script");
    EXPECT_EQ(app->table.ElementCount(), 4);
    EXPECT_EQ(Ed().Events().listVersion, before.listVersion + 1);
    EXPECT_EQ(Ed().View().selected, -1);
    ASSERT_EQ(Ed().SaveTable("data\\saved").code, EditorResult::DONE);
    Frames(1);
    EXPECT_STREQ(app->tablePath.c_str(), "data\\saved.script");
    EXPECT_TRUE(FileExists("data/saved.script"));
    Ed().RequestClose();
    Frames(1);
    EXPECT_FALSE(app->editor);
    Key('e');
    EXPECT_TRUE(app->editor) << "and opens again";
}

// The page's commands while the game plays frame after frame, reloads its
// table and shows its menus (run under ThreadSanitizer by tools/editor_tsan.sh).
TEST_F(EditorHooksTest, CommandsFromAnotherThreadBesideTheGamesFrames) {
    Key('e');
    std::atomic<bool> stop{false};
    std::thread page([&] {
        for (int n = 0; !stop; ++n) {
            const EditorView v = Ed().View();
            if (v.lines.empty())
                continue;
            const EditorExpect top{v.lines.front().index, v.lines.front().id};
            Ed().Select(top);
            if (n % 4 == 0)
                Ed().Create("Link");
            else if (n % 4 == 1)
                Ed().Apply({int(v.lines.size()), 0}, "Link { from = 1; }");
            else if (n % 4 == 2)
                Ed().Down(top);
            else if (v.lines.size() > 3)
                Ed().Remove(top);
        }
    });
    // The table reloads under the edits, and the menus come and go.
    for (int round = 0; round < 10; ++round) {
        Frames(15);
        app->tableReload = true;
        Frames(1);
        app->EnterMenu();
        Frames(3);
        app->LeaveMenu();
    }
    stop = true;
    page.join();
    EXPECT_GE(app->table.ElementCount(), 3);
}
