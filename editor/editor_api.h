#pragma once

#include <atomic>
#include <chrono>
#include <map>
#include <string>

class Editor;

// One HTTP request as the editor sees it, whatever server carried it.
struct EditorRequest {
    std::string method;                               // "GET", "POST", ...
    std::string path;                                 // without the query
    std::multimap<std::string, std::string> params;   // query, decoded
    std::multimap<std::string, std::string> headers;  // names in any case
    std::string remoteAddress;
    std::string body;
};

struct EditorResponse {
    int status = 200;
    std::string contentType = "application/json";
    std::string body;
};

// Who may talk to the editor: the page that came with the token, at the
// loopback address and port the server listens on.
struct EditorSite {
    static constexpr int kMaxWaiters = 4;

    int port = 0;
    std::string token;
    // How long a page's wait for events may last before it is answered anyway.
    std::chrono::milliseconds eventWait{20000};
    // Pages waiting for events right now; more than kMaxWaiters are turned
    // away so that the server keeps threads for commands.
    std::atomic<int> waiters{0};
};

// A 128-bit random token in hexadecimal.
std::string MakeEditorToken();

// False, with the reason, when the request does not come from the page: no
// token or a wrong one, a Host other than 127.0.0.1:PORT or localhost:PORT,
// an Origin other than the page's own, a peer outside the loopback network.
bool EditorRequestAllowed(const EditorSite& site, const EditorRequest& request,
                          std::string* reason);

// Guards, then routes to the page or to an editor command. Never throws.
EditorResponse HandleEditorRequest(Editor& editor, EditorSite& site, const EditorRequest& request);

// The page (embedded at build time).
extern const char* const kEditorPage;
extern const unsigned long kEditorPageSize;
