#include "editor/editor_server.h"

#include <httplib.h>

#include <chrono>
#include <utility>

namespace {

// Enough for a few waiting pages beside the commands and a browser's
// parallel connections.
constexpr int kServerThreads = 8;
// Bodies: an edit text of 8191 characters as UTF-8 (at most 4 bytes each).
constexpr std::size_t kMaxBody = 4 * 8191 + 64;

constexpr const char* kPagePolicy =
    "default-src 'none'; script-src 'unsafe-inline'; style-src 'unsafe-inline'; "
    "connect-src 'self'; img-src data:; base-uri 'none'; form-action 'none'; "
    "frame-ancestors 'none'";

EditorRequest FromHttp(const httplib::Request& req) {
    EditorRequest r;
    r.method = req.method;
    r.path = req.path;
    r.params.insert(req.params.begin(), req.params.end());
    r.headers.insert(req.headers.begin(), req.headers.end());
    r.remoteAddress = req.remote_addr;
    r.body = req.body;
    return r;
}

}  // namespace

EditorServer::EditorServer(Editor& editor) : editor_(editor) {}

EditorServer::~EditorServer() {
    Stop();
}

std::string EditorServer::Url(const char* dialog) const {
    std::string url = "http://127.0.0.1:" + std::to_string(site_.port) + "/?t=" + site_.token;
    if (dialog != nullptr)
        url += std::string("&dialog=") + dialog;
    return url;
}

bool EditorServer::Start(std::string* error) {
    if (server_) {
        *error = "The editor's server runs already.";
        return false;
    }
    site_.token = MakeEditorToken();
    server_ = std::make_unique<httplib::Server>();
    httplib::Server& s = *server_;
    s.new_task_queue = [] { return new httplib::ThreadPool(kServerThreads); };
    s.set_payload_max_length(kMaxBody);
    s.set_read_timeout(5, 0);
    s.set_write_timeout(5, 0);
    s.set_keep_alive_timeout(5);
    s.set_default_headers({{"Cache-Control", "no-store"},
                           {"X-Content-Type-Options", "nosniff"},
                           {"X-Frame-Options", "DENY"},
                           {"Referrer-Policy", "no-referrer"}});
    auto handle = [this](const httplib::Request& req, httplib::Response& res) {
        const EditorResponse out = HandleEditorRequest(editor_, site_, FromHttp(req));
        res.status = out.status;
        if (out.contentType.rfind("text/html", 0) == 0)
            res.set_header("Content-Security-Policy", kPagePolicy);
        res.set_content(out.body, out.contentType.c_str());
    };
    s.Get(".*", handle);
    s.Post(".*", handle);
    s.set_exception_handler(
        [](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
            res.status = 500;
            res.set_content("Internal error.", "text/plain");
        });
    const int port = s.bind_to_any_port("127.0.0.1");
    if (port <= 0) {
        *error = "The editor can't listen on 127.0.0.1.";
        server_.reset();
        return false;
    }
    site_.port = port;
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() does nothing until the loop runs: wait for it, briefly.
    for (int i = 0; i < 2000 && !server_->is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

void EditorServer::Stop() {
    if (!server_)
        return;
    // Waiting pages are answered first, so the server's threads come free.
    editor_.Shutdown();
    server_->stop();
    if (thread_.joinable())
        thread_.join();
    server_.reset();
}

std::unique_ptr<DeveloperEditor> DeveloperEditor::Open(Table& table, std::string* error) {
    std::unique_ptr<DeveloperEditor> editor(new DeveloperEditor(table));
    if (!editor->server_.Start(error))
        return nullptr;
    return editor;
}

DeveloperEditor::~DeveloperEditor() {
    server_.Stop();
}
