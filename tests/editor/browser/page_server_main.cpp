// The editor on a running table, for the browser test: prints the editor's
// line, then takes commands on standard input, one a line:
//   reload       load the second table (the page must refresh its list)
//   open | save  the game asks for the page's file dialog (Alt+L / Alt+S)
//   state        prints the table's element count and first link's scores
//   quit         (or end of input) closes the editor and ends
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>

#include "editor/editor_server.h"
#include "elements/link.h"
#include "elements/table_elements.h"
#include "physics/physics_elements.h"
#include "render/display.h"
#include "table/table.h"
#include "tests/editor/game_loop.h"

namespace {

const char* kFirst =
    "Dummy { };;\r\n"
    "CollisionForm { atX = 0.5; atY = 0.5; Line { toX = 0.2; toY = 0.2; };; "
    "Line { toX = 0.8; toY = 0.2; };; Line { toX = 0.8; toY = 0.8; };; };;\r\n"
    "Link { from = 1; scores = 0; To { to = 0; };; };;\r\n";

const char* kSecond =
    "Dummy { };;\r\nDummy { };;\r\n"
    "CollisionForm { atX = 0.5; atY = 0.5; Line { toX = 0.2; toY = 0.2; };; "
    "Line { toX = 0.8; toY = 0.2; };; };;\r\n"
    "Link { from = 2; scores = 5; };;\r\n"
    "Link { from = 2; scores = 6; };;\r\n";

}  // namespace

int main() {
    RegisterPhysicsElements();
    RegisterTableElements();
    Display display;
    display.width = 800;
    display.height = 600;
    display.bpp = 32;
    if (!display.Initialise(nullptr)) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }
    Table table;
    std::string error;
    std::unique_ptr<DeveloperEditor> developer = DeveloperEditor::Open(table, &error);
    if (!developer) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    Editor& editor = developer->editor();
    auto load = [&](const char* text, const char* name) {
        std::lock_guard<std::recursive_mutex> frame(editor.TableLock());
        table.LoadFromText(text, int(std::strlen(text)), name, "Tester");
        editor.TableLoaded(name);
    };
    load(kFirst, "data\\tables\\first.script");
    GameLoop loop(editor, table, display.BackPicture(), 10);
    std::printf("%s\n", developer->AnnounceLine().c_str());
    std::fflush(stdout);

    std::string line;
    while (std::getline(std::cin, line) && line != "quit") {
        if (line == "reload") {
            load(kSecond, "data\\tables\\second.script");
        } else if (line == "open" || line == "save") {
            editor.ShowFileDialog(line == "open" ? EditorFileDialog::OPEN : EditorFileDialog::SAVE);
        } else if (line == "state") {
            std::lock_guard<std::recursive_mutex> frame(editor.TableLock());
            int scores = -1;
            for (int i = 0; i < table.ElementCount(); ++i) {
                if (auto* link = dynamic_cast<Link*>(table.Element(i))) {
                    scores = link->scores;
                    break;
                }
            }
            std::printf("elements %d scores %d closed %d\n", table.ElementCount(), scores,
                        editor.CloseRequested() ? 1 : 0);
        }
        std::fflush(stdout);
    }
    loop.Stop();
    return 0;
}
