#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "app/game_app.h"
#include "editor/editor_server.h"
#include "menu/menu_wrapper.h"
#include "physics/collision_form.h"
#include "platform/window.h"
#include "tests/render/render_fixture.h"
#include "tests/test_files.h"

namespace {

std::uint32_t fakeNow = 1000;
std::uint32_t FakeClock() {
    return fakeNow;
}

const char* kConfig =
    "video { width = 320; height = 240; fullscreen = 0; };;\r\n"
    "startup { mainmenu = \"data\\menu\\main.script\"; };;\r\n"
    "menu { font = \"data\\fonts\\default.bmp\"; };;\r\n"
    "tables { tablecount = 1; filestart = \"data\\tables\\t\"; fileend = \".script\"; };;\r\n";

const char* kInput =
    "input {\r\n"
    " control { name = \"EXIT\"; device = \"SYSTEM_KEYBOARD\"; devicecode = \"ESCAPE\"; };;\r\n"
    "};;\r\n";

const char* kTable =
    "ScreenRect { left = 0; right = 320; top = 0; bottom = 240; };;\r\n"
    "Dummy { };;\r\n"
    "CollisionForm { atX = 0.5; atY = 0.5; Line { toX = 0.1; toY = 0.1; };; "
    "Line { toX = 0.9; toY = 0.1; };; };;\r\n"
    "Link { from = 1; To { to = 0; };; };;\r\n";

// A developer's game in a window, playing a three-element table.
class EditorHooksTest : public ::testing::Test {
protected:
    void SetUp() override {
        home = std::filesystem::current_path();
        WriteFile(dir.File("data/config.script"), kConfig);
        WriteFile(dir.File("data/menu/main.script"), "MenuWrapper { name = \"MAINMENU\"; };\r\n");
        WriteFile(dir.File("data/input.script"), kInput);
        WriteFile(dir.File("data/fonts/default.bmp"), SolidBmp(64, 64, 0xFFFFFF));
        WriteFile(dir.File("data/tables/t0000.script"), kTable);
        WriteFile(dir.File("data/tables/other.script"), std::string(kTable) + "Dummy { };;\r\n");
        std::filesystem::current_path(dir.Path());
        app = std::make_unique<GameApp>();
        app->keyboard = &keys;
        app->clock = &FakeClock;
        app->developer = true;
        ASSERT_TRUE(app->Initialise());
        app->LeaveMenu();
        Frames(1);
        ASSERT_EQ(app->table.ElementCount(), 3);
    }
    void TearDown() override {
        if (app)
            app->Shutdown();
        app.reset();
        std::filesystem::current_path(home);
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            fakeNow += 10;
            ASSERT_TRUE(app->Frame());
        }
    }
    void Key(int keyCode, int scanCode = 0, bool alt = false, bool ctrl = false) {
        platform::WindowEvent e;
        e.type = platform::WindowEventType::KeyDown;
        e.keyCode = keyCode;
        e.scanCode = scanCode;
        e.alt = alt;
        e.ctrl = ctrl;
        app->HandleWindowEvent(e);
    }
    // E, and what the game printed.
    std::string PressE() {
        testing::internal::CaptureStdout();
        Key('e');
        return testing::internal::GetCapturedStdout();
    }
    Editor& Ed() { return app->editor->editor(); }
    EditorExpect Pick(int index) {
        const EditorExpect e{index, ElementId(app->table.Element(index))};
        EXPECT_EQ(Ed().Select(e).code, EditorResult::DONE);
        return e;
    }

    ScratchDir dir{"editor_hooks"};
    std::filesystem::path home;
    platform::ManualKeyboard keys;
    std::unique_ptr<GameApp> app;
};

}  // namespace

TEST_F(EditorHooksTest, EOpensOneEditorAndPrintsItsAddress) {
    app->display.fullscreen = true;
    EXPECT_EQ(PressE(), "");
    EXPECT_FALSE(app->editor);
    app->display.fullscreen = false;
    app->developer = false;
    Key('e');
    EXPECT_FALSE(app->editor);
    app->developer = true;

    const std::string line = PressE();
    const std::string head = "Editor: http://127.0.0.1:";
    const std::size_t query = line.find("/?t=");
    ASSERT_EQ(line.rfind(head, 0), 0u) << line;
    ASSERT_NE(query, std::string::npos) << line;
    const std::string port = line.substr(head.size(), query - head.size());
    const std::string token = line.substr(query + 4);
    EXPECT_EQ(port.find_first_not_of("0123456789"), std::string::npos) << line;
    // 32 hexadecimal digits and the line end.
    EXPECT_EQ(token.size(), 33u) << line;
    EXPECT_EQ(token.find_first_not_of("0123456789abcdef"), 32u) << line;
    EXPECT_EQ(token.back(), '\n');
    ASSERT_TRUE(app->editor);
    DeveloperEditor* first = app->editor.get();
    // Again: the same editor, its address once more.
    EXPECT_EQ(PressE(), line);
    EXPECT_EQ(app->editor.get(), first);
    EXPECT_EQ(Ed().Files().current, "data\\tables\\t0000.script");
}

TEST_F(EditorHooksTest, KeysMoveAndShapeTheSelectedElementInPixelsOfTheVideoSize) {
    PressE();
    auto* form = dynamic_cast<CollisionForm*>(app->table.Element(1));
    ASSERT_NE(form, nullptr);
    // Nothing selected: the keys do nothing.
    Key(0, platform::SCANCODE_KEYPAD_6);
    EXPECT_FLOAT_EQ(form->pivot.x, 0.5f);

    Pick(1);
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

TEST_F(EditorHooksTest, ATableLoadRefreshesThePageAndEmptiesTheSelection) {
    PressE();
    Pick(2);
    const std::uint64_t list = Ed().Events().listVersion;
    app->tableReload = true;
    Frames(1);
    EXPECT_EQ(Ed().Events().listVersion, list + 1);
    EXPECT_EQ(Ed().View().selected, -1);
}

TEST_F(EditorHooksTest, AltLAndAltSOpenThePagesDialogsAndItsChoiceReachesTheGame) {
    PressE();
    const std::uint64_t serial = Ed().Events().dialogSerial;
    Key('l', 0, true);
    EXPECT_EQ(Ed().Events().dialog, "open");
    Key('s', 0, true);
    EXPECT_EQ(Ed().Events().dialog, "save");
    EXPECT_EQ(Ed().Events().dialogSerial, serial + 2);

    ASSERT_EQ(Ed().OpenTable("data/tables/other").code, EditorResult::DONE);
    Frames(1);
    EXPECT_STREQ(app->tablePath.c_str(), "data\\tables\\other.script");
    EXPECT_EQ(app->table.ElementCount(), 4);

    ASSERT_EQ(Ed().SaveTable("data\\tables\\saved").code, EditorResult::DONE);
    Frames(1);
    EXPECT_STREQ(app->tablePath.c_str(), "data\\tables\\saved.script");
    EXPECT_TRUE(FileExists("data/tables/saved.script"));
}

TEST_F(EditorHooksTest, ThePagesCloseEndsTheEditorBeforeTheNextFrame) {
    PressE();
    Ed().RequestClose();
    Frames(1);
    EXPECT_FALSE(app->editor);
    PressE();
    EXPECT_TRUE(app->editor);
}

// The page's commands while the game plays frame after frame (run under
// ThreadSanitizer by tools/editor_tsan.sh).
TEST_F(EditorHooksTest, CommandsFromAnotherThreadBesideTheGamesFrames) {
    PressE();
    std::atomic<bool> stop{false};
    std::thread page([&] {
        Editor& ed = Ed();
        int n = 0;
        while (!stop) {
            const EditorView v = ed.View();
            const EditorLine& top = v.lines.front();
            const EditorExpect e{top.index, top.id};
            ed.Select(e);
            switch (n++ % 4) {
                case 0:
                    ed.Create("Link");
                    break;
                case 1:
                    ed.Apply({int(v.lines.size()), 0}, "Link { from = 1; }");
                    break;
                case 2:
                    ed.Down(e);
                    break;
                default:
                    if (v.lines.size() > 3)
                        ed.Remove(e);
                    break;
            }
        }
    });
    Frames(200);
    stop = true;
    page.join();
    EXPECT_GE(app->table.ElementCount(), 3);
}
