#include "editor/editor.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <utility>

#include "elements/link.h"
#include "script/file_access.h"
#include "script/message.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"
#include "table/element_factory.h"
#include "table/table.h"
#include "table/table_object.h"

namespace {

constexpr const char* kApplyFailed = "Failed t apply script !";
constexpr const char* kStale = "The element list has changed; it is shown again.";
constexpr const char* kNoSelection = "Select an element first.";
constexpr const char* kInPlay = "The element is in play: press \"Enable editor\" first.";
// The Open and Save dialogs list at most this many files.
constexpr int kMaxListedFiles = 500;
constexpr int kMaxListedDepth = 3;

// The block keyword that constructs each type code.
int KeywordOfType(int type) {
    switch (type) {
        case ELEMENT_STATIC_PICTURE:
            return BLOCK_STATIC_PICTURE;
        case ELEMENT_STATIC_SPRITE:
            return BLOCK_STATIC_SPRITE;
        case ELEMENT_SWITCH:
            return BLOCK_SWITCH;
        case ELEMENT_TSWITCH:
            return BLOCK_TSWITCH;
        case ELEMENT_BALL:
            return BLOCK_MAIN_BALL;
        case ELEMENT_HANDLE:
            return BLOCK_HANDLE;
        case ELEMENT_FORM:
            return BLOCK_COLLISION_FORM;
        case ELEMENT_LINK:
            return BLOCK_LINK;
        case ELEMENT_SOUND:
            return BLOCK_SOUND_OBJ;
        case ELEMENT_SPRING:
            return BLOCK_SPRING;
        case ELEMENT_TELEPORTER:
            return BLOCK_TELEPORTER;
        case ELEMENT_BALL_GENERATOR:
            return BLOCK_BALL_GENERATOR;
        case ELEMENT_TEXT_MESSAGE:
            return BLOCK_TEXT_MESSAGE;
        case ELEMENT_DUMMY:
            return BLOCK_DUMMY;
        case ELEMENT_TRAVELING_STRING:
            return BLOCK_TRAVELING_STRING;
        case ELEMENT_LOCKER:
            return BLOCK_LOCKER;
        default:
            return -1;
    }
}

bool LessNoCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return LowerAscii(x) < LowerAscii(y);
    });
}

EditorResult Done() {
    return {EditorResult::DONE, {}};
}
EditorResult Result(EditorResult::Code code, std::string message) {
    return {code, std::move(message)};
}

// The folder part of a system path, separator included ("" for none).
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A path typed in a dialog, in the system's form: backslashes, ".script"
// when the file name has no extension. False with a reason when it can't be
// a table file name.
bool NormaliseTablePath(std::string_view typed, std::string* path, std::string* error) {
    while (!typed.empty() && (typed.front() == ' ' || typed.front() == '\t'))
        typed.remove_prefix(1);
    while (!typed.empty() && (typed.back() == ' ' || typed.back() == '\t'))
        typed.remove_suffix(1);
    std::string p(typed);
    for (char& c : p) {
        if (static_cast<unsigned char>(c) < 32) {
            *error = "A file name can't hold control characters.";
            return false;
        }
        if (c == '/')
            c = '\\';
    }
    const std::size_t slash = p.find_last_of('\\');
    const std::string name = slash == std::string::npos ? p : p.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") {
        *error = "Choose a file name.";
        return false;
    }
    if (name.find('.') == std::string::npos)
        p += ".script";
    // Cut, it would name another file.
    if (int(p.size()) > kTablePathMax) {
        *error = "The path is longer than 259 characters.";
        return false;
    }
    *path = std::move(p);
    return true;
}

bool IsLooseFile(const std::string& systemPath) {
    std::error_code ec;
    return std::filesystem::is_regular_file(ResolveLoosePath(systemPath.c_str()), ec);
}

// A table script the game can load: loose, compiled beside it, or in the archive.
bool TableFileExists(const std::string& path) {
    const std::uint8_t* data = nullptr;
    std::uint32_t size = 0;
    if (FindResource(path.c_str(), &data, &size))
        return true;
    if (IsLooseFile(path))
        return true;
    return IsLooseFile(ReplaceExtension(path.c_str(), ".bin"));
}

}  // namespace

std::uint32_t ElementId(const TableObject* element) {
    return std::uint32_t(reinterpret_cast<std::uintptr_t>(element));
}

std::string ElementListLine(int index, const TableObject* element) {
    if (element->type == ELEMENT_DUMMY)
        return std::string(25, '-');
    char line[64];
    std::snprintf(line, sizeof line, "#%03d %c 0x%08X - [%s]", index,
                  element->Enabled() ? '+' : '-', unsigned(ElementId(element)),
                  ElementFourCC(element->type));
    return line;
}

std::vector<std::string> CreatableTypeNames() {
    std::vector<std::string> names;
    for (const ElementCodeName* e = kElementDisplayNames; e->text != nullptr; ++e)
        names.emplace_back(e->text);
    std::stable_sort(names.begin(), names.end(), LessNoCase);
    return names;
}

int TypeCodeOfDisplayName(std::string_view name) {
    for (const ElementCodeName* e = kElementDisplayNames; e->text != nullptr; ++e) {
        if (name == e->text)
            return e->code;
    }
    return 0;
}

Editor::Editor(Table& table) : table_(table) {}

Editor::~Editor() {
    Shutdown();
}

void Editor::Bump(std::uint64_t* counter) {
    ++*counter;
    ++events_.version;
    eventsChanged_.notify_all();
}

std::string Editor::CurrentPath() {
    std::lock_guard<std::mutex> events(eventMutex_);
    return tablePath_;
}

TableObject* Editor::SelectedLocked(int* index) {
    // The table may have destroyed it (a lost extra ball): look, don't touch.
    const int i = table_.IndexOf(selected_);
    if (i < 0)
        selected_ = nullptr;
    if (index)
        *index = i;
    return selected_;
}

EditorView Editor::View() {
    EditorView view;
    std::lock_guard<std::recursive_mutex> lock(tableLock_);
    view.version = Events().version;
    view.loaded = table_.loaded;
    view.tablePath = CurrentPath();
    const int count = table_.ElementCount();
    view.lines.reserve(std::size_t(count));
    for (int i = count - 1; i >= 0; --i) {
        const TableObject* e = table_.Element(i);
        view.lines.push_back({i, ElementId(e), e->Enabled(), ElementListLine(i, e)});
    }
    if (TableObject* e = SelectedLocked(&view.selected)) {
        view.selectedId = ElementId(e);
        e->Save(&view.text);
        view.editable = !e->Enabled();
    }
    return view;
}

EditorResult Editor::CheckExpect(const EditorExpect& expect, TableObject** element, int* index) {
    *element = SelectedLocked(index);
    if (*element == nullptr)
        return expect.index < 0 ? Result(EditorResult::NO_SELECTION, kNoSelection)
                                : Result(EditorResult::STALE, kStale);
    if (expect.index != *index || expect.id != ElementId(*element))
        return Result(EditorResult::STALE, kStale);
    return Done();
}

EditorResult Editor::Select(const EditorExpect& element) {
    std::lock_guard<std::recursive_mutex> lock(tableLock_);
    if (element.index < 0) {
        selected_ = nullptr;
        return Done();
    }
    TableObject* e = table_.Element(element.index);
    if (e == nullptr || ElementId(e) != element.id)
        return Result(EditorResult::STALE, kStale);
    selected_ = e;
    return Done();
}

EditorResult Editor::Create(std::string_view displayName) {
    const int keyword = KeywordOfType(TypeCodeOfDisplayName(displayName));
    if (keyword < 0)
        return Result(EditorResult::REFUSED, "There is no element kind of that name.");
    std::lock_guard<std::recursive_mutex> lock(tableLock_);
    if (keyword == BLOCK_MAIN_BALL && !table_.HasRoomForBall())
        return Result(EditorResult::REFUSED, "The table holds as many balls as it may.");
    std::unique_ptr<TableObject> element = CreateElement(keyword, table_);
    if (!element)
        return Result(EditorResult::FAILED, "That kind of element can't be made here.");
    // New elements start disabled: their text can be edited at once.
    element->SetEnabled(false);
    TableObject* made = element.get();
    table_.AppendElement(std::move(element));
    selected_ = made;
    std::lock_guard<std::mutex> events(eventMutex_);
    Bump(&events_.listVersion);
    return Done();
}

EditorResult Editor::ChangeExpected(const EditorExpect& expect,
                                    const std::function<bool(TableObject*, int)>& change) {
    std::lock_guard<std::recursive_mutex> lock(tableLock_);
    TableObject* e = nullptr;
    int index = -1;
    EditorResult r = CheckExpect(expect, &e, &index);
    if (r.code != EditorResult::DONE || !change(e, index))
        return r;
    std::lock_guard<std::mutex> events(eventMutex_);
    Bump(&events_.listVersion);
    return r;
}

EditorResult Editor::Remove(const EditorExpect& expect) {
    return ChangeExpected(expect, [this](TableObject*, int index) {
        selected_ = nullptr;
        table_.RemoveElement(index);
        RenumberLinksAfterRemove(table_, index);
        return true;
    });
}

EditorResult Editor::SwapWith(const EditorExpect& expect, int offset) {
    return ChangeExpected(expect, [this, offset](TableObject*, int index) {
        const int other = index + offset;
        if (other < 0 || other >= table_.ElementCount())
            return false;
        table_.SwapElements(index, other);
        SwapLinkIndices(table_, index, other);
        return true;
    });
}

EditorResult Editor::Up(const EditorExpect& expect) {
    return SwapWith(expect, +1);
}

EditorResult Editor::Down(const EditorExpect& expect) {
    return SwapWith(expect, -1);
}

EditorResult Editor::EnableEditor(const EditorExpect& expect) {
    return ChangeExpected(expect, [](TableObject* e, int) {
        e->SetEnabled(false);
        return true;
    });
}

EditorResult Editor::Apply(const EditorExpect& expect, std::string_view text) {
    if (text.size() > std::size_t(kEditTextMax))
        return Result(EditorResult::REFUSED, "The text is longer than 8191 characters.");
    // Compiled before the lock is taken: the frame need not wait for it.
    ZarnikScr scr(text.data(), int(text.size()));
    const ScriptBlock whole = WholeScript(scr);
    bool loaded = false;
    {
        std::lock_guard<std::recursive_mutex> lock(tableLock_);
        TableObject* e = nullptr;
        int index = -1;
        EditorResult r = CheckExpect(expect, &e, &index);
        if (r.code != EditorResult::DONE)
            return r;
        if (!e->CanEdit())
            return Done();
        // An element in play is not rebuilt under the ball's feet.
        if (e->Enabled())
            return Result(EditorResult::REFUSED, kInPlay);
        // Without "Name {" there is no block: the element is left as it is.
        if (whole.IsPunct(1, '{')) {
            e->Clear();
            loaded = e->Load(SubBlock(whole, 1));
        }
        std::lock_guard<std::mutex> events(eventMutex_);
        Bump(&events_.listVersion);
    }
    if (!loaded) {
        // Shown once the lock is free: a message box may wait for its reader.
        ReportMessage("%s", kApplyFailed);
        return Result(EditorResult::FAILED, kApplyFailed);
    }
    return Done();
}

EditorFiles Editor::Files() {
    namespace fs = std::filesystem;
    EditorFiles files;
    files.current = CurrentPath();
    files.folder = FolderOf(files.current);
    const std::string root =
        files.folder.empty() ? std::string(".") : ResolveLoosePath(files.folder.c_str());
    std::error_code ec;
    fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it.depth() >= kMaxListedDepth)
            it.disable_recursion_pending();
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc))
            continue;
        std::string ext = it->path().extension().string();
        for (char& c : ext)
            c = LowerAscii(c);
        if (ext != ".script")
            continue;
        std::string rel = it->path().lexically_relative(root).string();
        std::replace(rel.begin(), rel.end(), '/', '\\');
        files.files.push_back(files.folder + rel);
        if (int(files.files.size()) >= kMaxListedFiles)
            break;
    }
    std::sort(files.files.begin(), files.files.end(), LessNoCase);
    return files;
}

EditorResult Editor::OpenTable(std::string_view typed) {
    std::string path, error;
    if (!NormaliseTablePath(typed, &path, &error))
        return Result(EditorResult::REFUSED, error);
    // Loading a missing script would empty the table the author is working on.
    if (!TableFileExists(path))
        return Result(EditorResult::REFUSED, "There is no table file " + path + ".");
    std::lock_guard<std::mutex> events(eventMutex_);
    tablePath_ = path;
    pendingPath_ = path;
    pendingReload_ = true;
    pending_ = true;
    return Done();
}

EditorResult Editor::SaveTable(std::string_view typed) {
    std::string path, error;
    if (!NormaliseTablePath(typed, &path, &error))
        return Result(EditorResult::REFUSED, error);
    {
        std::lock_guard<std::recursive_mutex> lock(tableLock_);
        if (!table_.loaded)
            return Result(EditorResult::FAILED, "No table is loaded yet.");
        if (!table_.Save(path.c_str()))
            return Result(EditorResult::FAILED, "Can't save the table to " + path + ".");
    }
    std::lock_guard<std::mutex> events(eventMutex_);
    tablePath_ = path;
    pendingPath_ = path;
    pendingReload_ = false;
    pending_ = true;
    return Done();
}

EditorEvents Editor::Events() {
    std::lock_guard<std::mutex> events(eventMutex_);
    return events_;
}

EditorEvents Editor::WaitForEvents(std::uint64_t since, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> events(eventMutex_);
    eventsChanged_.wait_for(events, timeout,
                            [&] { return events_.version != since || events_.closed; });
    return events_;
}

void Editor::RequestClose() {
    std::lock_guard<std::mutex> events(eventMutex_);
    closeRequested_ = true;
    events_.closed = true;
    Bump(&events_.listVersion);
}

void Editor::Shutdown() {
    std::lock_guard<std::mutex> events(eventMutex_);
    events_.closed = true;
    eventsChanged_.notify_all();
}

bool Editor::CloseRequested() {
    std::lock_guard<std::mutex> events(eventMutex_);
    return closeRequested_;
}

void Editor::TableLoaded(const char* path) {
    std::lock_guard<std::recursive_mutex> lock(tableLock_);
    // The list is filled anew: nothing is selected.
    selected_ = nullptr;
    std::lock_guard<std::mutex> events(eventMutex_);
    tablePath_ = path ? path : "";
    Bump(&events_.listVersion);
}

void Editor::SetTablePath(const char* path) {
    std::lock_guard<std::mutex> events(eventMutex_);
    tablePath_ = path ? path : "";
}

void Editor::ShowFileDialog(EditorFileDialog dialog) {
    std::lock_guard<std::mutex> events(eventMutex_);
    events_.dialog = dialog == EditorFileDialog::OPEN ? "open" : "save";
    Bump(&events_.dialogSerial);
}

bool Editor::TakeTableFile(std::string* path, bool* reload) {
    std::lock_guard<std::mutex> events(eventMutex_);
    if (!pending_)
        return false;
    pending_ = false;
    *path = pendingPath_;
    *reload = pendingReload_;
    return true;
}

template <typename Fn>
bool Editor::ActOnSelection(Fn&& fn) {
    std::lock_guard<std::recursive_mutex> lock(tableLock_);
    TableObject* e = SelectedLocked();
    if (e == nullptr)
        return false;
    fn(e);
    std::lock_guard<std::mutex> events(eventMutex_);
    Bump(&events_.textVersion);
    return true;
}

bool Editor::MoveSelection(float dx, float dy) {
    return ActOnSelection([&](TableObject* e) { e->MoveBy(dx, dy); });
}

bool Editor::AddVertex() {
    return ActOnSelection([](TableObject* e) { e->AddVertex(); });
}

bool Editor::RemoveVertex() {
    return ActOnSelection([](TableObject* e) { e->RemoveVertex(); });
}

bool Editor::ToggleHandle(int step) {
    return ActOnSelection([&](TableObject* e) { e->ToggleHandle(step); });
}

void Editor::DrawSelection(Picture* surface) {
    std::lock_guard<std::recursive_mutex> lock(tableLock_);
    if (TableObject* e = SelectedLocked())
        e->DrawEditor(surface);
}
