#include <chrono>
#include <future>
#include <string>

#include "tests/editor/http_fixture.h"

namespace {

bool Has(const std::string& body, const std::string& needle) {
    return body.find(needle) != std::string::npos;
}

}  // namespace

TEST_F(EditorHttpTest, ThePageAndEveryCommandOverHttpOnARunningTable) {
    LoadTable(Dummies(3) + "Link { from = 0; To { to = 1; };; };;\r\n");
    StartGame();
    // The page, with its policy; the token came in the address.
    auto page =
        httplib::Client("127.0.0.1", Port()).Get(("/?t=" + developer->server().Token()).c_str());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_TRUE(Has(page->body, "<title>Editor</title>"));
    EXPECT_TRUE(Has(page->get_header_value("Content-Security-Policy"), "frame-ancestors 'none'"));
    EXPECT_EQ(page->get_header_value("Cache-Control"), "no-store");

    // Each command answers with the state (the list's order and lines: the
    // editor's own tests).
    EXPECT_TRUE(Has(Get("/api/state"), "\"lines\":["));
    EXPECT_TRUE(Has(Post("/api/select?" + Names(3)), "\"selected\":3"));
    EXPECT_TRUE(Has(Post("/api/down?" + Names(3)), "\"selected\":2"));
    ASSERT_NE(LinkAt(2), nullptr);
    int status = 0;
    EXPECT_TRUE(
        Has(Post("/api/apply?" + Names(2), &status, "Link { scores = 10; }"), "Enable editor"));
    EXPECT_EQ(status, 400) << "in play";
    EXPECT_TRUE(Has(Post("/api/enable?" + Names(2)), "\"editable\":true"));
    const std::string applied = Post("/api/apply?" + Names(2), &status, "Link { scores = 10; }");
    EXPECT_EQ(status, 200);
    EXPECT_TRUE(Has(applied, "\"ok\":true") && Has(applied, " scores = 10;\\r\\n"));
    EXPECT_EQ(LinkAt(2)->scores, 10);
    EXPECT_TRUE(Has(Post("/api/create?type=Switch%20%232", &status), "\"selected\":4"));
    EXPECT_EQ(table.Element(4)->type, ELEMENT_TSWITCH);
    Post("/api/remove?" + Names(4), &status);
    EXPECT_EQ(status, 200);
    EXPECT_EQ(table.ElementCount(), 4);
    // A page that shows an old list is told so, with the list as it is.
    const std::string stale = Post("/api/remove?index=3&id=00000000", &status);
    EXPECT_EQ(status, 409);
    EXPECT_TRUE(Has(stale, "\"code\":\"stale\"") && Has(stale, "\"lines\":["));
    EXPECT_EQ(table.ElementCount(), 4);
    EXPECT_TRUE(Has(Get("/api/types"), "\"Srping\""));
    EXPECT_GT(loop->frames.load(), 0);
}

TEST_F(EditorHttpTest, RequestsWithoutTheTokenFromElsewhereOrMalformedAreRefused) {
    LoadTable(Dummies(3));
    const std::string token = developer->server().Token(), port = std::to_string(Port());
    const httplib::Headers good = {{"X-Editor-Token", token}};
    auto with = [&](httplib::Headers extra) {
        extra.insert(good.begin(), good.end());
        return extra;
    };
    const struct {
        const char* method;
        std::string path;
        httplib::Headers headers;
        int status;
    } cases[] = {
        {"GET", "/api/state", good, 200},
        {"GET", "/api/state?t=" + token, {}, 200},
        {"GET", "/api/state", with({{"Host", "localhost:" + port}}), 200},
        // No token, a wrong one, one of another length.
        {"GET", "/", {}, 403},
        {"GET", "/api/state", {{"X-Editor-Token", std::string(token.size(), '0')}}, 403},
        {"GET", "/api/state?t=" + token.substr(1), {}, 403},
        // DNS rebinding: a foreign name for our address, or another port.
        {"GET", "/api/state", with({{"Host", "evil.example:" + port}}), 403},
        {"GET", "/api/state", with({{"Host", "127.0.0.1:1"}}), 403},
        // Another site's page posting with the token it somehow has.
        {"POST", "/api/create?type=Link", with({{"Origin", "http://evil.example"}}), 403},
        {"POST", "/api/create?type=Link", with({{"Origin", "null"}}), 403},
        {"POST", "/api/create?type=Link", with({{"Origin", "http://localhost:" + port}}), 200},
        {"GET", "/api/nothing", good, 404},
        {"POST", "/api/remove?index=x", good, 400},
        {"POST", "/api/remove?index=1", good, 400},
    };
    for (const auto& c : cases) {
        httplib::Client other("127.0.0.1", Port());
        auto res = std::string(c.method) == "GET"
                       ? other.Get(c.path.c_str(), c.headers)
                       : other.Post(c.path.c_str(), c.headers, "", "text/plain");
        EXPECT_EQ(res ? res->status : -1, c.status) << c.method << " " << c.path;
    }
    EXPECT_EQ(table.ElementCount(), 4) << "only the local page's Create";
}

TEST_F(EditorHttpTest, BodiesAreLimitedAndTextsComeBackAsTheSameCharacters) {
    LoadTable("Link { from = 0; };;\r\n");
    Post("/api/select?" + Names(0));
    Post("/api/enable?" + Names(0));
    int status = 0;
    // 8191 characters of text, some of them two bytes in UTF-8: taken.
    const std::string text = "Link { scores = 3; menu_name = \"\xC3\xA9t\xC3\xA9\"; }";
    const std::string body = text + std::string(8191 - (text.size() - 2), ' ');
    Post("/api/apply?" + Names(0), &status, body);
    EXPECT_EQ(status, 200);
    EXPECT_EQ(LinkAt(0)->name, "\xE9t\xE9");
    EXPECT_TRUE(Has(Get("/api/state"), "menu_name = \\\"\\u00e9t\\u00e9\\\";"));
    LinkAt(0)->SetEnabled(false);
    Post("/api/apply?" + Names(0), &status, body + " ");
    EXPECT_EQ(status, 400);
    // Far more than any edit text: the server does not read it.
    Post("/api/apply?" + Names(0), &status, std::string(40000, ' '));
    EXPECT_EQ(status, 413);
}

TEST_F(EditorHttpTest, AWaitingPageHearsOfDialogsTableLoadsAndCloseAtOnce) {
    LoadTable(Dummies(2));
    StartGame();
    const std::string now = Get("/api/events");
    const std::size_t v = now.find("\"version\":");
    ASSERT_NE(v, std::string::npos);
    auto waiting = std::async(std::launch::async, [&, since = std::stoull(now.substr(v + 10))] {
        httplib::Client c("127.0.0.1", Port());
        c.set_read_timeout(30, 0);
        return Body(c.Get(("/api/events?since=" + std::to_string(since)).c_str(),
                          {{"X-Editor-Token", developer->server().Token()}}),
                    nullptr);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto posted = std::chrono::steady_clock::now();
    editor().ShowFileDialog(EditorFileDialog::OPEN);
    EXPECT_TRUE(Has(waiting.get(), "\"dialog\":\"open\""));
    EXPECT_LT(std::chrono::steady_clock::now() - posted, std::chrono::seconds(2));

    // Open through the page: the game loads the file and the list follows.
    ScratchDir dir("http_open");
    WriteFile(dir.File("t2.script"), Dummies(5));
    int status = 0;
    Post("/api/open?path=" + dir.Path() + "%2Ft2", &status);
    EXPECT_EQ(status, 200);
    for (int i = 0; i < 500 && loop->loads.load() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(loop->loads.load(), 1);
    EXPECT_TRUE(Has(Get("/api/state"), "\"index\":4"));
    Post("/api/close", &status);
    EXPECT_EQ(status, 200);
    EXPECT_TRUE(Has(Get("/api/events?since=0"), "\"closed\":true"));
}
