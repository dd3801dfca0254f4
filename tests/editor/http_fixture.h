#pragma once

#include <httplib.h>

#include <memory>
#include <mutex>
#include <string>

#include "editor/editor_server.h"
#include "editor/editor_text.h"
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
        client = std::make_unique<httplib::Client>("127.0.0.1", Port());
        client->set_default_headers({{"X-Editor-Token", developer->server().Token()}});
        client->set_read_timeout(30, 0);
    }
    void TearDown() override {
        loop.reset();
        developer.reset();
    }
    Editor& editor() { return developer->editor(); }
    void LoadTable(const std::string& text) {
        std::lock_guard<std::recursive_mutex> frame(editor().TableLock());
        table.LoadFromText(text.data(), int(text.size()), "data\\tables\\t.script", "Tester");
        editor().TableLoaded("data\\tables\\t.script");
    }
    void StartGame() { loop = std::make_unique<GameLoop>(editor(), table, display.BackPicture()); }

    // POST (with a text body) or GET; the response body, the status in *status.
    std::string Post(const std::string& pathAndQuery, int* status = nullptr,
                     const std::string& body = std::string()) {
        return Body(client->Post(pathAndQuery.c_str(), body, "text/plain;charset=utf-8"), status);
    }
    std::string Get(const std::string& pathAndQuery, int* status = nullptr) {
        return Body(client->Get(pathAndQuery.c_str()), status);
    }
    static std::string Body(const httplib::Result& res, int* status) {
        if (status)
            *status = res ? res->status : -1;
        return res ? res->body : std::string();
    }
    // The query that names element `index` as the page shows it.
    std::string Names(int index) const {
        return "index=" + std::to_string(index) + "&id=" + IdText(At(index).id);
    }
    int Port() const { return developer->server().Port(); }

    std::unique_ptr<DeveloperEditor> developer;
    std::unique_ptr<httplib::Client> client;
    std::unique_ptr<GameLoop> loop;
};
