// Developer mode: the running table follows its script file. A change on
// disk is loaded in place within a frame, the game going on; a script that
// does not load leaves the table as it was and says why on the screen.
#include <string>
#include <vector>

#include "app/game_app.h"
#include "app/table_reload.h"
#include "script/file_access.h"

namespace {

constexpr std::int32_t kReloadedMs = 2000;
constexpr std::int32_t kFailedMs = 10000;

bool ReadText(const char* path, std::string* text) {
    std::vector<std::uint8_t> bytes;
    if (!ReadLooseFile(path, &bytes))
        return false;
    text->assign(bytes.begin(), bytes.end());
    return true;
}

}  // namespace

void GameApp::WatchTableFile() {
    tableText.clear();
    // The loose file is the author's, whether or not data.pak holds a copy.
    ReadText(table.tablePath.c_str(), &tableText);
    tableWatch.Watch(ResolveLoosePath(table.tablePath.c_str()));
}

void GameApp::FollowTableFile() {
    if (!table.loaded || !tableWatch.Changed())
        return;
    std::string text;
    // Gone for the moment (an editor between its delete and its write).
    if (!ReadText(table.tablePath.c_str(), &text) || text == tableText)
        return;
    std::string message;
    // A reload is no game's end: no score is recorded for it.
    table.SetScores(nullptr, "");
    const bool reloaded = ReloadTableKeepingPlay(table, text, &message);
    table.SetScores(&scores, kScoresPath);
    if (!reloaded) {
        ShowNotice("The table stays as it was:\n" + message, kFailedMs);
        return;
    }
    tableText = std::move(text);
    // The game's replay can't follow a table that changed: it ends here.
    recorder.Stop();
    // The editor's list and selection were of the old elements.
    TableLoadedForEditor();
    ShowNotice("Table reloaded", kReloadedMs);
}
