#include <random>
#include <string>
#include <vector>

#include "tests/editor/http_fixture.h"

namespace {

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

// The game runs the table while a page sends commands over HTTP as fast as
// it can, naming the elements of the list it last saw. Run under
// ThreadSanitizer (tools/editor_tsan.sh) it must report nothing.
TEST_F(EditorHttpTest, TenThousandRandomCommandsBesideARunningGame) {
    LoadTable(kTable);
    StartGame();
    std::mt19937 random(20260101u);
    auto pick = [&](std::size_t n) { return std::size_t(random() % n); };
    const std::vector<std::string> kinds = CreatableTypeNames();
    int done = 0;
    for (int n = 0; n < 10000; ++n) {
        const EditorView seen = editor().View();
        const std::string names = seen.selected < 0 ? "index=-1"
                                                    : "index=" + std::to_string(seen.selected) +
                                                          "&id=" + IdText(seen.selectedId);
        const std::size_t count = seen.lines.size();
        const std::size_t roll = pick(100);
        std::string body;
        int status = 0;
        if (roll < 30 && count > 0) {
            const EditorLine& line = seen.lines[pick(count)];
            body =
                Post("/api/select?index=" + std::to_string(line.index) + "&id=" + IdText(line.id),
                     &status);
        } else if (roll < 40 && count < 40) {
            body = Post("/api/create?type=" + kinds[pick(kinds.size())], &status);
        } else if (roll < 50 || count >= 40) {
            body = Post("/api/remove?" + names, &status);
        } else if (roll < 66) {
            body = Post((roll < 58 ? "/api/up?" : "/api/down?") + names, &status);
        } else if (roll < 76) {
            body = Post("/api/enable?" + names, &status);
        } else if (roll < 92) {
            // The element's own text with one digit changed, or something odd.
            std::string text = seen.text;
            const std::size_t digit = text.find_first_of("0123456789", pick(64));
            if (digit != std::string::npos)
                text[digit] = char('0' + pick(10));
            if (pick(8) == 0)
                text = pick(2) ? "X { from = 2147483647; To { to = -5; };; }" : "{ } } {";
            body = Post("/api/apply?" + names, &status, text);
        } else {
            body = Get(roll < 96 ? "/api/state" : "/api/events?since=0", &status);
        }
        ASSERT_TRUE(status == 200 || status == 400 || status == 409) << status << " " << body;
        done += status == 200;
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
