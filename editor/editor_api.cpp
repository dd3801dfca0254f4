#include "editor/editor_api.h"

#include <cstdio>
#include <random>
#include <string_view>

#include "editor/editor.h"
#include "editor/editor_text.h"

namespace {

constexpr const char* kTokenHeader = "x-editor-token";

// The values of a header, by name in lower case.
std::vector<std::string> HeaderValues(const EditorRequest& r, std::string_view lowerName) {
    std::vector<std::string> values;
    for (const auto& [name, value] : r.headers) {
        if (name.size() != lowerName.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i) {
            char c = name[i];
            if (c >= 'A' && c <= 'Z')
                c = char(c - 'A' + 'a');
            same = c == lowerName[i];
        }
        if (same)
            values.push_back(value);
    }
    return values;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = char(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// Compares in time that depends on the length only.
bool SameToken(std::string_view given, std::string_view token) {
    if (token.empty() || given.size() != token.size())
        return false;
    unsigned char diff = 0;
    for (std::size_t i = 0; i < token.size(); ++i)
        diff |= static_cast<unsigned char>(given[i] ^ token[i]);
    return diff == 0;
}

bool IsLoopbackPeer(const std::string& address) {
    // Tests that build requests by hand leave it empty.
    return address.empty() || address.rfind("127.", 0) == 0 || address == "::1" ||
           address.rfind("::ffff:127.", 0) == 0;
}

const std::string* Param(const EditorRequest& r, const char* name) {
    auto it = r.params.find(name);
    return it == r.params.end() ? nullptr : &it->second;
}

EditorResponse Plain(int status, const char* text) {
    EditorResponse response;
    response.status = status;
    response.contentType = "text/plain; charset=utf-8";
    response.body = text;
    return response;
}

void AppendView(std::string* out, const EditorView& v) {
    char number[64];
    std::snprintf(number, sizeof number, "{\"version\":%llu,\"selected\":%d,\"selectedId\":",
                  static_cast<unsigned long long>(v.version), v.selected);
    out->append(number);
    AppendJsonString(out, v.selected >= 0 ? IdText(v.selectedId) : std::string());
    out->append(",\"editable\":");
    out->append(v.editable ? "true" : "false");
    out->append(",\"loaded\":");
    out->append(v.loaded ? "true" : "false");
    out->append(",\"tablePath\":");
    AppendJsonString(out, v.tablePath);
    out->append(",\"text\":");
    AppendJsonString(out, v.text);
    out->append(",\"lines\":[");
    for (std::size_t i = 0; i < v.lines.size(); ++i) {
        const EditorLine& l = v.lines[i];
        std::snprintf(number, sizeof number,
                      "%s{\"index\":%d,\"enabled\":%s,\"id\":\"%s\",\"text\":", i ? "," : "",
                      l.index, l.enabled ? "true" : "false", IdText(l.id).c_str());
        out->append(number);
        AppendJsonString(out, l.text);
        out->push_back('}');
    }
    out->append("]}");
}

const char* CodeName(EditorResult::Code code) {
    switch (code) {
        case EditorResult::DONE:
            return "done";
        case EditorResult::NO_SELECTION:
            return "no-selection";
        case EditorResult::STALE:
            return "stale";
        case EditorResult::REFUSED:
            return "refused";
        case EditorResult::FAILED:
            return "failed";
    }
    return "failed";
}

// Every command answers with its outcome and the list as it now stands.
EditorResponse CommandAnswer(Editor& editor, const EditorResult& result) {
    EditorResponse response;
    response.status = result.code == EditorResult::STALE     ? 409
                      : result.code == EditorResult::REFUSED ? 400
                                                             : 200;
    std::string& out = response.body;
    out = "{\"ok\":";
    out += result.code == EditorResult::DONE ? "true" : "false";
    out += ",\"code\":\"";
    out += CodeName(result.code);
    out += "\",\"message\":";
    AppendJsonString(&out, result.message);
    out += ",\"state\":";
    AppendView(&out, editor.View());
    out += "}";
    return response;
}

EditorResponse BadRequest(const char* why) {
    return Plain(400, why);
}

// index and id of the element the page means; false when they are missing
// or malformed.
bool ReadExpect(const EditorRequest& r, EditorExpect* expect) {
    const std::string* index = Param(r, "index");
    if (index == nullptr || !ParseIndex(*index, &expect->index))
        return false;
    if (expect->index < 0)
        return true;
    const std::string* id = Param(r, "id");
    return id != nullptr && ParseId(*id, &expect->id);
}

EditorResponse Page() {
    EditorResponse response;
    response.contentType = "text/html; charset=utf-8";
    response.body.assign(kEditorPage, kEditorPageSize);
    return response;
}

EditorResponse Types() {
    std::string out = "{\"names\":[";
    bool first = true;
    for (const std::string& name : CreatableTypeNames()) {
        if (!first)
            out += ",";
        first = false;
        AppendJsonString(&out, name);
    }
    out += "],\"preselected\":\"Static picture\"}";
    return {200, "application/json", out};
}

void AppendEvents(std::string* out, const EditorEvents& e) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "{\"version\":%llu,\"listVersion\":%llu,\"textVersion\":%llu,"
                  "\"dialogSerial\":%llu,\"closed\":%s,\"dialog\":",
                  static_cast<unsigned long long>(e.version),
                  static_cast<unsigned long long>(e.listVersion),
                  static_cast<unsigned long long>(e.textVersion),
                  static_cast<unsigned long long>(e.dialogSerial), e.closed ? "true" : "false");
    out->append(text);
    AppendJsonString(out, e.dialog);
    out->push_back('}');
}

EditorResponse WaitForEvents(Editor& editor, EditorSite& site, const EditorRequest& r) {
    EditorResponse response;
    // Without `since`: the counters as they stand, at once.
    const std::string* s = Param(r, "since");
    if (s == nullptr) {
        AppendEvents(&response.body, editor.Events());
        return response;
    }
    std::uint64_t since = 0;
    if (!ParseCounter(*s, &since))
        return BadRequest("since?");
    if (site.waiters.fetch_add(1) >= EditorSite::kMaxWaiters) {
        site.waiters.fetch_sub(1);
        return Plain(503, "Too many pages are waiting.");
    }
    const EditorEvents events = editor.WaitForEvents(since, site.eventWait);
    site.waiters.fetch_sub(1);
    AppendEvents(&response.body, events);
    return response;
}

EditorResponse Files(Editor& editor) {
    const EditorFiles files = editor.Files();
    std::string out = "{\"folder\":";
    AppendJsonString(&out, files.folder);
    out += ",\"current\":";
    AppendJsonString(&out, files.current);
    out += ",\"files\":[";
    for (std::size_t i = 0; i < files.files.size(); ++i) {
        if (i)
            out += ",";
        AppendJsonString(&out, files.files[i]);
    }
    out += "]}";
    return {200, "application/json", out};
}

EditorResponse Get(Editor& editor, EditorSite& site, const EditorRequest& r) {
    if (r.path == "/")
        return Page();
    if (r.path == "/api/state") {
        EditorResponse response;
        AppendView(&response.body, editor.View());
        return response;
    }
    if (r.path == "/api/types")
        return Types();
    if (r.path == "/api/events")
        return WaitForEvents(editor, site, r);
    if (r.path == "/api/files")
        return Files(editor);
    return Plain(404, "Not found.");
}

EditorResponse Post(Editor& editor, const EditorRequest& r) {
    const std::string& p = r.path;
    if (p == "/api/close") {
        editor.RequestClose();
        return {200, "application/json", "{\"ok\":true}"};
    }
    if (p == "/api/create") {
        const std::string* type = Param(r, "type");
        if (type == nullptr)
            return BadRequest("type?");
        return CommandAnswer(editor, editor.Create(Utf8ToBytes(*type)));
    }
    if (p == "/api/open" || p == "/api/save") {
        const std::string* path = Param(r, "path");
        if (path == nullptr)
            return BadRequest("path?");
        const std::string bytes = Utf8ToBytes(*path);
        return CommandAnswer(editor,
                             p == "/api/open" ? editor.OpenTable(bytes) : editor.SaveTable(bytes));
    }
    EditorExpect expect;
    using Command = EditorResult (Editor::*)(const EditorExpect&);
    Command command = nullptr;
    if (p == "/api/select")
        command = &Editor::Select;
    else if (p == "/api/remove")
        command = &Editor::Remove;
    else if (p == "/api/up")
        command = &Editor::Up;
    else if (p == "/api/down")
        command = &Editor::Down;
    else if (p == "/api/enable")
        command = &Editor::EnableEditor;
    else if (p != "/api/apply")
        return Plain(404, "Not found.");
    if (!ReadExpect(r, &expect))
        return BadRequest("index and id?");
    if (command != nullptr)
        return CommandAnswer(editor, (editor.*command)(expect));
    const std::string text = Utf8ToBytes(r.body);
    if (text.size() > std::size_t(kEditTextMax))
        return CommandAnswer(editor,
                             {EditorResult::REFUSED, "The text is longer than 8191 characters."});
    return CommandAnswer(editor, editor.Apply(expect, text));
}

}  // namespace

std::string MakeEditorToken() {
    std::random_device device;
    std::string token;
    for (int i = 0; i < 4; ++i) {
        char part[9];
        std::snprintf(part, sizeof part, "%08x", unsigned(device()));
        token += part;
    }
    return token;
}

bool EditorRequestAllowed(const EditorSite& site, const EditorRequest& r, std::string* reason) {
    if (!IsLoopbackPeer(r.remoteAddress)) {
        *reason = "not a loopback peer";
        return false;
    }
    const std::vector<std::string> hosts = HeaderValues(r, "host");
    const std::string port = std::to_string(site.port);
    if (hosts.size() != 1 || !(EqualNoCase(hosts[0], "127.0.0.1:" + port) ||
                               EqualNoCase(hosts[0], "localhost:" + port))) {
        *reason = "foreign host";
        return false;
    }
    const std::vector<std::string> origins = HeaderValues(r, "origin");
    if (origins.size() > 1 ||
        (origins.size() == 1 && !EqualNoCase(origins[0], "http://127.0.0.1:" + port) &&
         !EqualNoCase(origins[0], "http://localhost:" + port))) {
        *reason = "foreign origin";
        return false;
    }
    const std::vector<std::string> tokens = HeaderValues(r, kTokenHeader);
    std::string_view given;
    if (tokens.size() == 1) {
        given = tokens[0];
    } else if (tokens.empty()) {
        auto t = r.params.find("t");
        if (t != r.params.end())
            given = t->second;
    }
    if (!SameToken(given, site.token)) {
        *reason = "no token";
        return false;
    }
    return true;
}

EditorResponse HandleEditorRequest(Editor& editor, EditorSite& site, const EditorRequest& r) {
    std::string reason;
    if (!EditorRequestAllowed(site, r, &reason))
        return Plain(403, "Forbidden.");
    if (r.method == "GET")
        return Get(editor, site, r);
    if (r.method == "POST")
        return Post(editor, r);
    return Plain(405, "Method not allowed.");
}
