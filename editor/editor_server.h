#pragma once

#include <memory>
#include <string>
#include <thread>

#include "editor/editor.h"
#include "editor/editor_api.h"

namespace httplib {
class Server;
}

class Table;

// The editor's own thread: an HTTP server on 127.0.0.1 at a free port that
// serves the page and carries its requests to the editor.
class EditorServer {
public:
    explicit EditorServer(Editor& editor);
    // Stops the server and joins its threads.
    ~EditorServer();
    EditorServer(const EditorServer&) = delete;
    EditorServer& operator=(const EditorServer&) = delete;

    // Binds and starts the thread. False with a reason when no port could be had.
    bool Start(std::string* error);
    void Stop();

    int Port() const { return site_.port; }
    const std::string& Token() const { return site_.token; }
    // "http://127.0.0.1:PORT/?t=TOKEN", with "&dialog=open" (or save) when
    // the page should open that dialog at once.
    std::string Url(const char* dialog = nullptr) const;
    EditorSite& Site() { return site_; }

private:
    Editor& editor_;
    EditorSite site_;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
};

// What the game holds while the editor is open: the editor and its server.
// Made and destroyed by the game thread only, outside the frame's lock.
class DeveloperEditor {
public:
    // nullptr with a reason when the server can't start.
    static std::unique_ptr<DeveloperEditor> Open(Table& table, std::string* error);
    ~DeveloperEditor();

    Editor& editor() { return editor_; }
    EditorServer& server() { return server_; }
    std::string Url(const char* dialog = nullptr) const { return server_.Url(dialog); }
    // The line the game prints: "Editor: http://127.0.0.1:PORT/?t=TOKEN"
    std::string AnnounceLine() const { return "Editor: " + Url(); }

private:
    explicit DeveloperEditor(Table& table) : editor_(table), server_(editor_) {}

    Editor editor_;
    EditorServer server_;
};
