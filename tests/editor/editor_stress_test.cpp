#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "editor/editor_text.h"
#include "tests/editor/http_fixture.h"

namespace {

// The page's idea of the list: index and id of every line.
struct Shown {
    int index = -1;
    std::string id;
};

std::vector<Shown> LinesOf(const std::string& body) {
    std::vector<Shown> lines;
    std::size_t at = 0;
    while ((at = body.find("{\"index\":", at)) != std::string::npos) {
        at += 9;
        Shown s;
        s.index = std::atoi(body.c_str() + at);
        const std::size_t id = body.find("\"id\":\"", at);
        if (id == std::string::npos)
            break;
        s.id = body.substr(id + 6, 8);
        lines.push_back(s);
    }
    return lines;
}

// The selected element's text, unescaped from its JSON string.
std::string TextOf(const std::string& body) {
    std::size_t at = body.find("\"text\":\"");
    std::string text;
    if (at == std::string::npos)
        return text;
    for (at += 8; at < body.size() && body[at] != '"'; ++at) {
        if (body[at] != '\\') {
            text.push_back(body[at]);
            continue;
        }
        const char c = body[++at];
        if (c == 'n')
            text.push_back('\n');
        else if (c == 'r')
            text.push_back('\r');
        else if (c == 't')
            text.push_back('\t');
        else if (c == 'u')
            text.push_back(char(std::stoi(body.substr(at + 1, 4), nullptr, 16))), at += 4;
        else
            text.push_back(c);
    }
    return text;
}

const char* kTable =
    "ScreenRect { left = 0; right = 800; top = 0; bottom = 600; };;\r\n"
    "Dummy { };;\r\n"
    "CollisionForm { atX = 0.5; atY = 0.9; c_type = \"COLLISION_BOUNCE\"; "
    "Line { toX = 0.0; toY = 0.95; };; Line { toX = 1.0; toY = 0.95; };; };;\r\n"
    "CollisionForm { atX = 0.2; atY = 0.5; Line { toX = 0.1; toY = 0.4; };; "
    "Line { toX = 0.3; toY = 0.6; };; Line { toX = 0.1; toY = 0.6; };; };;\r\n"
    "Link { from = 1; scores = 10; To { to = 3; };; };;\r\n"
    "Link { from = 3; next = 3; initially_current = 1; change_count = 2; };;\r\n"
    "MainBall { };;\r\n";

}  // namespace

// The game runs the table while a page sends commands as fast as it can.
// Run under ThreadSanitizer (tools/editor_tsan.sh) it must report nothing.
TEST_F(EditorHttpTest, TenThousandRandomCommandsBesideARunningGame) {
    LoadTable(kTable);
    StartGame();
    std::mt19937 random(20260101u);
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const std::vector<std::string> kinds = CreatableTypeNames();
    std::string last = Get("/api/state");
    int refused = 0, failed = 0, done = 0;

    for (int n = 0; n < 10000; ++n) {
        const std::vector<Shown> lines = LinesOf(last);
        const int sel = [&] {
            const std::size_t at = last.find("\"selected\":");
            return at == std::string::npos ? -1 : std::atoi(last.c_str() + at + 11);
        }();
        std::string names = "index=-1";
        for (const Shown& s : lines) {
            if (s.index == sel)
                names = "index=" + std::to_string(s.index) + "&id=" + s.id;
        }
        int status = 0;
        std::string body;
        const int roll = pick(100);
        if (roll < 30 && !lines.empty()) {
            const Shown& s = lines[std::size_t(pick(int(lines.size())))];
            body = Post("/api/select?index=" + std::to_string(s.index) + "&id=" + s.id, &status);
        } else if (roll < 40 && lines.size() < 40) {
            body = Post("/api/create?type=" + kinds[std::size_t(pick(int(kinds.size())))], &status);
        } else if (roll < 50 || lines.size() >= 40) {
            body = Post("/api/remove?" + names, &status);
        } else if (roll < 58) {
            body = Post("/api/up?" + names, &status);
        } else if (roll < 66) {
            body = Post("/api/down?" + names, &status);
        } else if (roll < 76) {
            body = Post("/api/enable?" + names, &status);
        } else if (roll < 92) {
            // The element's own text with one digit changed, or something odd.
            std::string text = TextOf(last);
            const std::size_t digit = text.find_first_of("0123456789", std::size_t(pick(64)));
            if (digit != std::string::npos)
                text[digit] = char('0' + pick(10));
            if (pick(8) == 0)
                text = pick(2) ? "X { from = 2147483647; To { to = -5; };; }" : "{ } } {";
            body = Post("/api/apply?" + names, &status, text);
        } else if (roll < 96) {
            body = Get("/api/state", &status);
        } else {
            Get("/api/events?since=0", &status);
            body = Get("/api/state", &status);
        }
        ASSERT_TRUE(status == 200 || status == 400 || status == 409) << status << " " << body;
        if (body.find("\"code\":\"refused\"") != std::string::npos)
            ++refused;
        else if (body.find("\"code\":\"failed\"") != std::string::npos)
            ++failed;
        else
            ++done;
        if (body.find("\"lines\":[") != std::string::npos)
            last = body;
    }
    loop->Stop();
    EXPECT_GT(loop->frames.load(), 10);
    EXPECT_GT(done, 5000);

    // What is left still saves and loads as the same table. (A ball saves
    // where it is and loads at its start: the second save is the stable one.)
    std::string saved, resaved, third;
    ASSERT_TRUE(table.SaveText(&saved));
    Table again, thrice;
    again.LoadFromText(saved.data(), int(saved.size()), "again", "Tester");
    EXPECT_EQ(again.ElementCount(), table.ElementCount());
    ASSERT_TRUE(again.SaveText(&resaved));
    thrice.LoadFromText(resaved.data(), int(resaved.size()), "thrice", "Tester");
    ASSERT_TRUE(thrice.SaveText(&third));
    EXPECT_EQ(third, resaved);
}
