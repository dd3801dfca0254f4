#pragma once

#include <httplib.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "editor/editor_server.h"
#include "editor/editor_text.h"
#include "render/display.h"
#include "tests/editor/editor_fixture.h"
#include "tests/editor/game_loop.h"

// A live table with the editor's server and a client of our own.
class EditorHttpTest : public TableWithDisplay {
protected:
    void SetUp() override {
        TableWithDisplay::SetUp();
        std::string error;
        developer = DeveloperEditor::Open(table, &error);
        ASSERT_TRUE(developer) << error;
        port = developer->server().Port();
        client = std::make_unique<httplib::Client>("127.0.0.1", port);
        client->set_default_headers({{"X-Editor-Token", developer->server().Token()}});
        client->set_read_timeout(30, 0);
    }
    void TearDown() override {
        loop.reset();
        developer.reset();
    }

    Editor& editor() { return developer->editor(); }

    void LoadTable(const std::string& text, const char* name = "data\\tables\\t.script") {
        std::lock_guard<std::recursive_mutex> frame(editor().TableLock());
        table.LoadFromText(text.data(), int(text.size()), name, "Tester");
        editor().TableLoaded(name);
    }
    void StartGame() { loop = std::make_unique<GameLoop>(editor(), table, display.BackPicture()); }

    // POST path?query with an optional text body; the response body, and the
    // status in *status.
    std::string Post(const std::string& pathAndQuery, int* status = nullptr,
                     const std::string& body = std::string()) {
        auto res = client->Post(pathAndQuery.c_str(), body, "text/plain;charset=utf-8");
        if (status)
            *status = res ? res->status : -1;
        return res ? res->body : std::string();
    }
    std::string Get(const std::string& pathAndQuery, int* status = nullptr) {
        auto res = client->Get(pathAndQuery.c_str());
        if (status)
            *status = res ? res->status : -1;
        return res ? res->body : std::string();
    }
    // The query that names element `index` as the page shows it.
    std::string Names(int index) const {
        return "index=" + std::to_string(index) + "&id=" + IdText(At(index).id);
    }

    std::unique_ptr<DeveloperEditor> developer;
    std::unique_ptr<httplib::Client> client;
    std::unique_ptr<GameLoop> loop;
    int port = 0;
};
