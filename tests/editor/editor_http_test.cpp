#include <chrono>
#include <future>
#include <string>

#include "editor/editor_text.h"
#include "tests/editor/http_fixture.h"

namespace {

// Where `needle` first stands in the body (npos when it doesn't).
std::size_t Pos(const std::string& body, const std::string& needle) {
    return body.find(needle);
}

}  // namespace

TEST_F(EditorHttpTest, ThePageAndEveryCommandOverHttpOnARunningTable) {
    LoadTable(Dummies(3) + "Link { from = 0; To { to = 1; };; };;\r\n");
    StartGame();
    int status = 0;

    // The page, with its policy; the token came in the address.
    client->set_default_headers({});
    auto page = client->Get(("/?t=" + developer->server().Token()).c_str());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("<title>Editor</title>"), std::string::npos);
    EXPECT_NE(page->get_header_value("Content-Security-Policy").find("frame-ancestors 'none'"),
              std::string::npos);
    EXPECT_EQ(page->get_header_value("Cache-Control"), "no-store");
    client->set_default_headers({{"X-Editor-Token", developer->server().Token()}});

    // Highest index on top.
    std::string state = Get("/api/state", &status);
    EXPECT_EQ(status, 200);
    const std::size_t i3 = Pos(state, "\"index\":3"), i2 = Pos(state, "\"index\":2"),
                      i0 = Pos(state, "\"index\":0");
    ASSERT_NE(i0, std::string::npos);
    EXPECT_LT(i3, i2);
    EXPECT_LT(i2, i0);
    EXPECT_NE(Pos(state, "\"text\":\"-------------------------\""), std::string::npos);

    // Select, "U" on the last does nothing, "D" moves the link below element 2.
    EXPECT_NE(Pos(Post("/api/select?" + Names(3)), "\"selected\":3"), std::string::npos);
    Post("/api/up?" + Names(3));
    EXPECT_NE(LinkAt(3), nullptr);
    std::string moved = Post("/api/down?" + Names(3), &status);
    EXPECT_EQ(status, 200);
    EXPECT_NE(Pos(moved, "\"selected\":2"), std::string::npos);
    ASSERT_NE(LinkAt(2), nullptr);

    // In play it can't be edited; "Enable editor", then "Apply".
    std::string refused = Post("/api/apply?" + Names(2), &status, "Link { scores = 10; }");
    EXPECT_EQ(status, 400);
    EXPECT_NE(Pos(refused, "Enable editor"), std::string::npos);
    EXPECT_NE(Pos(Post("/api/enable?" + Names(2)), "\"editable\":true"), std::string::npos);
    std::string applied = Post("/api/apply?" + Names(2), &status, "Link { scores = 10; }");
    EXPECT_EQ(status, 200);
    EXPECT_NE(Pos(applied, "\"ok\":true"), std::string::npos);
    EXPECT_NE(Pos(applied, " scores = 10;\\r\\n"), std::string::npos);
    EXPECT_EQ(Pos(applied, "To {"), std::string::npos);
    EXPECT_EQ(LinkAt(2)->scores, 10);
    EXPECT_TRUE(LinkAt(2)->Enabled());

    // Create, then remove what was made.
    std::string created = Post("/api/create?type=Switch%20%232", &status);
    EXPECT_EQ(status, 200);
    ASSERT_EQ(table.ElementCount(), 5);
    EXPECT_EQ(table.Element(4)->type, ELEMENT_TSWITCH);
    EXPECT_NE(Pos(created, "\"selected\":4"), std::string::npos);
    Post("/api/remove?" + Names(4), &status);
    EXPECT_EQ(status, 200);
    EXPECT_EQ(table.ElementCount(), 4);

    // A page that shows an old list is told so, with the list as it is.
    std::string stale = Post("/api/remove?index=3&id=00000000", &status);
    EXPECT_EQ(status, 409);
    EXPECT_NE(Pos(stale, "\"code\":\"stale\""), std::string::npos);
    EXPECT_NE(Pos(stale, "\"lines\":["), std::string::npos);
    EXPECT_EQ(table.ElementCount(), 4);

    EXPECT_NE(Pos(Get("/api/types"), "\"Srping\""), std::string::npos);
    EXPECT_GT(loop->frames.load(), 0);
}

TEST_F(EditorHttpTest, RemovingElementThreeRenumbersALinkOverHttp) {
    LoadTable(Dummies(6) + "Link { from = 2; To { to = 5; };; };;\r\n");
    StartGame();
    Post("/api/select?" + Names(3));
    int status = 0;
    Post("/api/remove?" + Names(3), &status);
    EXPECT_EQ(status, 200);
    std::lock_guard<std::recursive_mutex> frame(editor().TableLock());
    ASSERT_NE(LinkAt(5), nullptr);
    EXPECT_EQ(LinkAt(5)->from, 2);
    EXPECT_EQ(LinkAt(5)->targets[0].to, 4);
}

TEST_F(EditorHttpTest, RequestsWithoutTheTokenOrFromElsewhereAreRefused) {
    LoadTable(Dummies(3));
    const std::string token = developer->server().Token();
    const std::string port = std::to_string(this->port);
    auto statusOf = [&](const char* method, const std::string& path, httplib::Headers headers) {
        httplib::Client c("127.0.0.1", this->port);
        auto res = std::string(method) == "GET" ? c.Get(path.c_str(), headers)
                                                : c.Post(path.c_str(), headers, "", "text/plain");
        return res ? res->status : -1;
    };
    const httplib::Headers good = {{"X-Editor-Token", token}};
    EXPECT_EQ(statusOf("GET", "/api/state", good), 200);
    EXPECT_EQ(statusOf("GET", "/api/state?t=" + token, {}), 200);
    EXPECT_EQ(
        statusOf("GET", "/api/state", {{"Host", "localhost:" + port}, {"X-Editor-Token", token}}),
        200);

    // No token, a wrong one, one of another length.
    EXPECT_EQ(statusOf("GET", "/", {}), 403);
    EXPECT_EQ(statusOf("GET", "/api/state", {{"X-Editor-Token", std::string(token.size(), '0')}}),
              403);
    EXPECT_EQ(statusOf("GET", "/api/state?t=" + token.substr(1), {}), 403);
    // DNS rebinding: a foreign name for our address, or another port.
    EXPECT_EQ(statusOf("GET", "/api/state",
                       {{"X-Editor-Token", token}, {"Host", "evil.example:" + port}}),
              403);
    EXPECT_EQ(statusOf("GET", "/api/state", {{"X-Editor-Token", token}, {"Host", "127.0.0.1:1"}}),
              403);
    // Another site's page posting with the token it somehow has.
    EXPECT_EQ(statusOf("POST", "/api/create?type=Link",
                       {{"X-Editor-Token", token}, {"Origin", "http://evil.example"}}),
              403);
    EXPECT_EQ(
        statusOf("POST", "/api/create?type=Link", {{"X-Editor-Token", token}, {"Origin", "null"}}),
        403);
    EXPECT_EQ(table.ElementCount(), 3);
    EXPECT_EQ(statusOf("POST", "/api/create?type=Link",
                       {{"X-Editor-Token", token}, {"Origin", "http://localhost:" + port}}),
              200);
    EXPECT_EQ(table.ElementCount(), 4);

    EXPECT_EQ(statusOf("GET", "/api/nothing", good), 404);
    EXPECT_EQ(statusOf("POST", "/api/remove?index=x", good), 400);
    EXPECT_EQ(statusOf("POST", "/api/remove?index=1", good), 400);
}

TEST_F(EditorHttpTest, BodiesAreLimited) {
    LoadTable("Link { from = 0; };;\r\n");
    Post("/api/select?" + Names(0));
    Post("/api/enable?" + Names(0));
    int status = 0;
    // 8191 characters of text, some of them two bytes in UTF-8: taken.
    std::string text = "Link { scores = 3; menu_name = \"\xC3\xA9t\xC3\xA9\"; }";
    std::string body = text + std::string(8191 - (text.size() - 2), ' ');
    Post("/api/apply?" + Names(0), &status, body);
    EXPECT_EQ(status, 200);
    EXPECT_EQ(LinkAt(0)->scores, 3);
    EXPECT_EQ(LinkAt(0)->name, "\xE9t\xE9");
    // The text comes back as the same characters.
    EXPECT_NE(Pos(Get("/api/state"), "menu_name = \\\"\\u00e9t\\u00e9\\\";"), std::string::npos);

    LinkAt(0)->SetEnabled(false);
    Post("/api/apply?" + Names(0), &status, body + " ");
    EXPECT_EQ(status, 400);
    // Far more than any edit text: the server does not read it.
    Post("/api/apply?" + Names(0), &status, std::string(40000, ' '));
    EXPECT_EQ(status, 413);
}

TEST_F(EditorHttpTest, AWaitingPageHearsOfTableLoadsAndFileDialogsAtOnce) {
    LoadTable(Dummies(2));
    StartGame();
    const std::string now = Get("/api/events");
    const std::size_t v = now.find("\"version\":");
    ASSERT_NE(v, std::string::npos);
    const std::string since = std::to_string(std::stoull(now.substr(v + 10)));

    auto waiting = std::async(std::launch::async, [&] {
        httplib::Client c("127.0.0.1", port);
        c.set_read_timeout(30, 0);
        auto res = c.Get(("/api/events?since=" + since).c_str(),
                         {{"X-Editor-Token", developer->server().Token()}});
        return res ? res->body : std::string();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto posted = std::chrono::steady_clock::now();
    editor().ShowFileDialog(EditorFileDialog::OPEN);
    const std::string heard = waiting.get();
    EXPECT_LT(std::chrono::steady_clock::now() - posted, std::chrono::seconds(2));
    EXPECT_NE(Pos(heard, "\"dialog\":\"open\""), std::string::npos);

    // Open through the page: the game loads the file and the list follows.
    ScratchDir dir("http_open");
    WriteFile(dir.File("t2.script"), Dummies(5));
    int status = 0;
    Post("/api/open?path=" + dir.Path() + "%2Ft2", &status);
    EXPECT_EQ(status, 200);
    for (int i = 0; i < 500 && loop->loads.load() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(loop->loads.load(), 1);
    EXPECT_NE(Pos(Get("/api/state"), "\"index\":4"), std::string::npos);

    Post("/api/close", &status);
    EXPECT_EQ(status, 200);
    EXPECT_TRUE(editor().CloseRequested());
    EXPECT_NE(Pos(Get("/api/events?since=0"), "\"closed\":true"), std::string::npos);
}
