#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class Picture;
class Table;
class TableObject;

// The longest edit text "Apply" takes, in characters.
inline constexpr int kEditTextMax = 8191;
// The longest table file path (the data model keeps 260 bytes).
inline constexpr int kTablePathMax = 259;

// The element list's line for the element at `index`: "#%03d %c 0x%08X - [%s]",
// or 25 dashes for a Dummy.
std::string ElementListLine(int index, const TableObject* element);
// The low 32 bits of the element's address: the list line's identity.
std::uint32_t ElementId(const TableObject* element);

// The kinds "Create" offers, by display name, sorted as the list shows them
// (without regard to case).
std::vector<std::string> CreatableTypeNames();
// The type code of a display name; 0 for a name that is not offered.
int TypeCodeOfDisplayName(std::string_view name);

// One line of the element list.
struct EditorLine {
    int index = 0;
    std::uint32_t id = 0;
    bool enabled = false;
    std::string text;
};

// What the page shows: the list (highest index first), the selection and its
// text.
struct EditorView {
    std::uint64_t version = 0;
    std::vector<EditorLine> lines;
    int selected = -1;
    std::uint32_t selectedId = 0;
    std::string text;
    bool editable = false;
    bool loaded = false;
    std::string tablePath;
};

// How a command went. Every command answers with one.
struct EditorResult {
    enum Code {
        DONE,          // carried out (or, as the rules say, nothing to do)
        NO_SELECTION,  // needs a selected element
        STALE,         // the page's idea of the list is out of date
        REFUSED,       // the request itself can't be used
        FAILED,        // carried out and failed (a message says why)
    };
    Code code = DONE;
    std::string message;
};

// What the page last saw: the command acts only when the selection is still
// this element.
struct EditorExpect {
    int index = -1;
    std::uint32_t id = 0;
};

// The counters a page waits on.
struct EditorEvents {
    std::uint64_t version = 0;      // any change below
    std::uint64_t listVersion = 0;  // the element list (commands, table loads)
    std::uint64_t textVersion = 0;  // the selected element changed in the game
    std::uint64_t dialogSerial = 0;
    std::string dialog;  // "open" or "save": the game asked for a file dialog
    bool closed = false;
};

// Table files the Open and Save dialogs offer.
struct EditorFiles {
    std::string folder;
    std::string current;
    std::vector<std::string> files;
};

enum class EditorFileDialog { OPEN, SAVE };

// The developer editor: the element list of the live table, one selected
// element, and the commands that change them. The table lock guards the
// table: the game thread holds it for each frame while the editor exists,
// every command takes it. The selection changes only under the table lock.
//
// Nothing here waits for the page: the game thread's calls take the table
// lock (recursive: it may hold it already) and, for a moment, the event
// mutex, which nobody holds while waiting for anything else.
class Editor {
public:
    explicit Editor(Table& table);
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    std::recursive_mutex& TableLock() { return tableLock_; }
    Table& table() { return table_; }

    // --- the page's commands (any thread but the game's) ---
    EditorView View();
    // index -1 clears the selection.
    EditorResult Select(const EditorExpect& element);
    EditorResult Create(std::string_view displayName);
    EditorResult Remove(const EditorExpect& expect);
    // "U": changes places with the element after it (index + 1).
    EditorResult Up(const EditorExpect& expect);
    // "D": changes places with the element before it (index - 1).
    EditorResult Down(const EditorExpect& expect);
    EditorResult EnableEditor(const EditorExpect& expect);
    // Text as bytes, at most kEditTextMax of them.
    EditorResult Apply(const EditorExpect& expect, std::string_view text);

    EditorFiles Files();
    // Makes `path` the table file and asks the game to load it.
    EditorResult OpenTable(std::string_view path);
    // Saves the table to `path`, which then becomes the table file.
    EditorResult SaveTable(std::string_view path);

    // Waits until the events pass `since` (or the time is up, or the editor
    // closes) and returns them.
    EditorEvents WaitForEvents(std::uint64_t since, std::chrono::milliseconds timeout);
    EditorEvents Events();
    // The page's "Close": the game ends the editor at its next frame.
    void RequestClose();
    // Wakes every waiter for good; the server is going away.
    void Shutdown();

    // --- the game thread ---
    bool CloseRequested();
    // After every table load (posted: the page refreshes when it likes).
    void TableLoaded(const char* path);
    // The table file before the first load.
    void SetTablePath(const char* path);
    // Alt+L / Alt+S: the page opens its dialog.
    void ShowFileDialog(EditorFileDialog dialog);
    // A table file chosen in the page, once: the game makes it current and
    // reloads it when `reload`.
    bool TakeTableFile(std::string* path, bool* reload);

    // Developer keys; each acts on the selected element, nothing without one.
    // Pixel steps are table units here.
    bool MoveSelection(float dx, float dy);
    bool AddVertex();
    bool RemoveVertex();
    bool ToggleHandle(int step);
    // The selected element's editor marks on the frame's surface.
    void DrawSelection(Picture* surface);

    // The selected element and its index, under the table lock; nullptr when
    // nothing is selected or the element has gone.
    TableObject* SelectedLocked(int* index = nullptr);

private:
    // Fails STALE when the selection is not what the page saw.
    EditorResult CheckExpect(const EditorExpect& expect, TableObject** element, int* index);
    EditorResult SwapWith(const EditorExpect& expect, int offset);
    // Runs `change` on the element the request expects, under the table
    // lock; when it reports a change, the list's watchers are told.
    EditorResult ChangeExpected(const EditorExpect& expect,
                                const std::function<bool(TableObject*, int)>& change);
    template <typename Fn>
    bool ActOnSelection(Fn&& fn);
    // Call with the event mutex held.
    void Bump(std::uint64_t* counter);
    std::string CurrentPath();

    Table& table_;
    std::recursive_mutex tableLock_;
    TableObject* selected_ = nullptr;  // under tableLock_

    std::mutex eventMutex_;  // guards what follows
    std::condition_variable eventsChanged_;
    EditorEvents events_;
    bool closeRequested_ = false;
    std::string tablePath_;
    std::string pendingPath_;
    bool pendingReload_ = false;
    bool pending_ = false;
};
