// The developer editor as the game sees it: opening it with E, the page's
// requests that need the game thread, and the developer keys.
#include <cstdio>
#include <string>

#include "app/game_app.h"
#include "editor/browser_opener.h"
#include "editor/editor_server.h"
#include "script/message.h"

void GameApp::OpenEditor(const char* dialog) {
    // Not over a full-screen game: the page needs the desktop.
    if (display.fullscreen)
        return;
    if (!editor) {
        std::string error;
        editor = DeveloperEditor::Open(table, &error);
        if (!editor) {
            ReportMessage("Can't open the editor: %s", error.c_str());
            return;
        }
        editor->editor().SetTablePath(table.loaded ? table.tablePath.c_str() : tablePath.c_str());
    }
    // Again for an editor already open: its page may have been closed.
    std::printf("%s\n", editor->AnnounceLine().c_str());
    std::fflush(stdout);
    if (platform::HasRealDisplay())
        OpenInDesktopBrowser(editor->Url(dialog));
}

void GameApp::EditorBetweenFrames() {
    if (!editor)
        return;
    // Closed from its page: it goes while the frame holds no lock.
    if (editor->editor().CloseRequested()) {
        editor.reset();
        return;
    }
    std::string path;
    bool reload = false;
    if (editor->editor().TakeTableFile(&path, &reload)) {
        tablePath = path;
        if (reload)
            tableReload = true;
    }
}

std::unique_lock<std::recursive_mutex> GameApp::LockTableForFrame() {
    if (!editor)
        return {};
    return std::unique_lock<std::recursive_mutex>(editor->editor().TableLock());
}

void GameApp::DrawEditorView(std::unique_lock<std::recursive_mutex>& frameLock) {
    if (!frameLock.owns_lock())
        return;
    frameLock.unlock();
    if (!menuMode)
        editor->editor().DrawSelection(display.BackPicture());
}

void GameApp::TableLoadedForEditor() {
    if (editor)
        editor->editor().TableLoaded(tablePath.c_str());
}

bool GameApp::DeveloperKey(const platform::WindowEvent& e) {
    if (!e.alt && e.keyCode == 'e') {
        OpenEditor();
        return true;
    }
    if (e.alt && (e.keyCode == 'l' || e.keyCode == 's')) {
        if (display.fullscreen)
            return false;
        const bool open = e.keyCode == 'l';
        if (editor)
            editor->editor().ShowFileDialog(open ? EditorFileDialog::OPEN : EditorFileDialog::SAVE);
        else
            OpenEditor(open ? "open" : "save");
        return true;
    }
    if (!editor)
        return false;
    // Pixel steps in table units of the configured video size.
    const int step = e.ctrl ? 1 : 10;
    const float dx = float(step) / float(video.width > 0 ? video.width : 1);
    const float dy = float(step) / float(video.height > 0 ? video.height : 1);
    Editor& ed = editor->editor();
    switch (e.scanCode) {
        case platform::SCANCODE_KEYPAD_4:
            ed.MoveSelection(-dx, 0.0f);
            return true;
        case platform::SCANCODE_KEYPAD_6:
            ed.MoveSelection(dx, 0.0f);
            return true;
        case platform::SCANCODE_KEYPAD_8:
            ed.MoveSelection(0.0f, -dy);
            return true;
        case platform::SCANCODE_KEYPAD_2:
        case platform::SCANCODE_KEYPAD_5:
            ed.MoveSelection(0.0f, dy);
            return true;
        case platform::SCANCODE_INSERT:
            ed.AddVertex();
            return true;
        case platform::SCANCODE_DELETE:
            ed.RemoveVertex();
            return true;
        case platform::SCANCODE_KEYPAD_PLUS:
            ed.ToggleHandle(+1);
            return true;
        case platform::SCANCODE_KEYPAD_MINUS:
            ed.ToggleHandle(-1);
            return true;
        default:
            return false;
    }
}
