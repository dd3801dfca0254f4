// Requests to the editor are hostile input: a run of random requests (any
// method, path, parameters, headers and body, mostly with the right token and
// Host so they reach the commands) against a live table, with frames stepped
// and the selection drawn between them. Nothing may crash or hang, and the
// table must still save.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "editor/editor.h"
#include "editor/editor_api.h"
#include "elements/table_elements.h"
#include "physics/physics_elements.h"
#include "render/display.h"
#include "script/message.h"
#include "table/table.h"

namespace {

constexpr int kPort = 43210;
const char* kToken = "0123456789abcdef0123456789abcdef";

const char* kTable =
    "Dummy { };;\r\n"
    "CollisionForm { atX = 0.5; atY = 0.5; Line { toX = 0.2; toY = 0.2; };; "
    "Line { toX = 0.8; toY = 0.2; };; };;\r\n"
    "Link { from = 1; scores = 3; To { to = 0; };; };;\r\n"
    "Link { from = 2; next = 2; initially_current = 1; };;\r\n"
    "MainBall { };;\r\n";

const char* kPaths[] = {"/",          "/api/state",  "/api/types",  "/api/events",
                        "/api/files", "/api/close",  "/api/create", "/api/open",
                        "/api/save",  "/api/select", "/api/remove", "/api/up",
                        "/api/down",  "/api/enable", "/api/apply",  "/api/"};
const char* kParams[] = {"index", "id", "type", "path", "since", "t"};
const char* kMethods[] = {"GET", "POST", "PUT", "HEAD", "OPTIONS", ""};

void Quiet(const char*) {}

// Files the target may write: names of letters and digits in its own folder.
std::string SafePath(const std::string& raw) {
    std::string name;
    for (char c : raw) {
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            name.push_back(c);
    }
    return "fuzz-files\\" + name.substr(0, 40);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Failed applies are logged: keep the log and the saved files in a
    // folder of their own.
    const std::string dir = "/tmp/zarnik-editor-fuzz-" + std::to_string(getpid());
    std::filesystem::create_directories(dir + "/fuzz-files");
    if (chdir(dir.c_str()) != 0)
        std::abort();
    SetMessageDisplay(Quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 16))
        return 0;
    static Display* display = [] {
        auto* d = new Display();
        d->width = 320;
        d->height = 240;
        d->bpp = 32;
        d->Initialise(nullptr);
        return d;
    }();
    RegisterPhysicsElements();
    RegisterTableElements();
    Table table;
    table.LoadFromText(kTable, int(std::strlen(kTable)), "data\\fuzz.script", "fuzz");
    Editor editor(table);
    editor.TableLoaded("data\\fuzz.script");
    EditorSite site;
    site.port = kPort;
    site.token = kToken;
    site.eventWait = std::chrono::milliseconds(0);

    FuzzedDataProvider in(data, size);
    for (int n = 0; n < 64 && in.remaining_bytes() > 0; ++n) {
        EditorRequest r;
        r.method = kMethods[in.ConsumeIntegralInRange<int>(0, 5) % 6];
        if (in.ConsumeIntegralInRange<int>(0, 7) == 0)
            r.method = in.ConsumeRandomLengthString(8);
        r.path = in.ConsumeBool() ? kPaths[in.ConsumeIntegralInRange<int>(0, 15)]
                                  : in.ConsumeRandomLengthString(32);
        const int params = in.ConsumeIntegralInRange<int>(0, 4);
        for (int p = 0; p < params; ++p) {
            std::string name = kParams[in.ConsumeIntegralInRange<int>(0, 5)];
            std::string value = in.ConsumeRandomLengthString(48);
            if (name == "path" && r.method == "POST")
                value = SafePath(value);
            r.params.emplace(name, value);
        }
        // Mostly the page's own headers, sometimes anything.
        const int host = in.ConsumeIntegralInRange<int>(0, 9);
        if (host < 7)
            r.headers.emplace("Host", "127.0.0.1:43210");
        else if (host == 7)
            r.headers.emplace(in.ConsumeBool() ? "host" : "HOST", in.ConsumeRandomLengthString(24));
        if (in.ConsumeIntegralInRange<int>(0, 9) < 8)
            r.headers.emplace("X-Editor-Token", kToken);
        else
            r.headers.emplace("X-Editor-Token", in.ConsumeRandomLengthString(40));
        if (in.ConsumeIntegralInRange<int>(0, 3) == 0)
            r.headers.emplace("Origin", in.ConsumeBool() ? std::string("http://localhost:43210")
                                                         : in.ConsumeRandomLengthString(24));
        r.body = in.ConsumeRandomLengthString(9000);
        HandleEditorRequest(editor, site, r);

        // The game's side between requests.
        if (in.ConsumeBool()) {
            table.Update(nullptr, 0.01f);
            editor.DrawSelection(display->BackPicture());
        }
        switch (in.ConsumeIntegralInRange<int>(0, 7)) {
            case 0:
                editor.MoveSelection(in.ConsumeFloatingPoint<float>(), 0.01f);
                break;
            case 1:
                editor.AddVertex();
                break;
            case 2:
                editor.RemoveVertex();
                break;
            case 3:
                editor.ToggleHandle(in.ConsumeIntegralInRange<int>(-3, 3));
                break;
            default:
                break;
        }
        std::string path;
        bool reload = false;
        editor.TakeTableFile(&path, &reload);
    }
    std::string text;
    if (!table.SaveText(&text))
        std::abort();
    return 0;
}
