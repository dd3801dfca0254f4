#include <gtest/gtest.h>

#include <cstring>

#include "app/app_config.h"
#include "app/table_list.h"
#include "render/font.h"
#include "table/scores.h"
#include "tests/render/render_fixture.h"
#include "tests/test_files.h"

namespace {

TableList ListFrom(const char* configText) {
    AppConfig c;
    c.ReadText(configText);
    TableList list;
    list.Read(c.Section(SECTION_TABLES));
    return list;
}

TEST(TableList, PathsAreNumberedFromZeroWithFourDigits) {
    TableList list = ListFrom(
        "tables { tablecount = 3; filestart = \"data\\tables\\t\"; fileend = \".script\"; };");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_STREQ(list.Path(0), "data\\tables\\t0000.script");
    EXPECT_STREQ(list.Path(1), "data\\tables\\t0001.script");
    EXPECT_STREQ(list.Path(2), "data\\tables\\t0002.script");
    EXPECT_EQ(list.Find("DATA\\TABLES\\T0002.SCRIPT"), 2);
    EXPECT_EQ(list.Find("data\\tables\\t0003.script"), -1);
}

TEST(TableList, ARealCountAMissingTextOrNoSectionGivesNoTables) {
    const char* empty[] = {
        "tables { tablecount = 2.0; filestart = \"a\"; fileend = \"b\"; };",
        "tables { tablecount = 2; fileend = \"b\"; };",
        "tables { tablecount = 2; filestart = \"a\"; };",
        "tables { tablecount = -4; filestart = \"a\"; fileend = \"b\"; };",
        "video { width = 800; };",
    };
    for (const char* text : empty)
        EXPECT_EQ(ListFrom(text).Count(), 0) << text;
}

TEST(TableList, AHugeCountIsCut) {
    TableList list =
        ListFrom("tables { tablecount = 2000000000; filestart = \"t\"; fileend = \".s\"; };");
    EXPECT_EQ(list.Count(), TableList::kMaxTables);
    EXPECT_STREQ(list.Path(TableList::kMaxTables - 1), "t0999.s");
}

// Menu actions 7 and 8: the selector turns 72 / (count + 1) frames for a
// step, 144 / (count + 1) when the step wraps round; the index wraps.
TEST(TableList, SelectorStepsAndTheirFramesWrapRound) {
    TableList list = ListFrom("tables { tablecount = 3; filestart = \"t\"; fileend = \".s\"; };");
    struct Step {
        int from;
        bool forward;
        int frames, to;
    } steps[] = {
        {0, true, 18, 1},  {1, true, 18, 2},  {2, true, 36, 0},
        {0, false, 36, 2}, {2, false, 18, 1}, {1, false, 18, 0},
    };
    for (const Step& s : steps) {
        list.current = s.from;
        EXPECT_EQ(list.SelectorFrames(s.forward), s.frames) << s.from << " " << s.forward;
        list.Step(s.forward);
        EXPECT_EQ(list.current, s.to) << s.from << " " << s.forward;
    }

    TableList one = ListFrom("tables { tablecount = 1; filestart = \"t\"; fileend = \".s\"; };");
    EXPECT_EQ(one.SelectorFrames(true), 72);  // 144 / 2: the only table is the last
    one.Step(false);
    EXPECT_EQ(one.current, 0);

    TableList none;
    EXPECT_EQ(none.SelectorFrames(true), 0);
    none.Step(true);
    none.Step(false);
    EXPECT_EQ(none.current, 0);
}

// A 16 x 16 grid font of 4 x 4 cells in which glyph c is filled with the
// grey (c, c, c): the text drawn at a place can be read back from the pixels.
class ScoresTableTest : public DisplayTest {
protected:
    void SetUp() override {
        StartDisplay(32, 800, 600);
        WriteFile("readable.bmp", MakeBmp(64, 64, [](int x, int y) {
                      const std::uint32_t c = std::uint32_t(y / 4 * 16 + x / 4);
                      return c << 16 | c << 8 | c;
                  }));
        font = std::make_unique<GridFont>("readable.bmp");
        ASSERT_TRUE(font->picture && font->picture->HasSurface());
        tables.paths.Append(FixedString<260>("data\\tables\\t0000.script"));
        tables.paths.Append(FixedString<260>("data\\tables\\t0001.script"));
        tables.paths.Append(FixedString<260>("data\\tables\\t0002.script"));
        tables.paths.Append(FixedString<260>("data\\tables\\t0003.script"));
    }
    void TearDown() override {
        font.reset();
        DisplayTest::TearDown();
    }

    void AddPlayer(const char* name, std::initializer_list<std::pair<const char*, int>> results) {
        PlayerScores p;
        std::strncpy(p.name, name, sizeof p.name - 1);
        for (const auto& [table, score] : results) {
            ScoreResult r;
            std::strncpy(r.table, table, sizeof r.table - 1);
            r.score = score;
            p.results.Append(r);
        }
        scores.players.Append(std::move(p));
    }

    // Characters drawn from (x, y) on, one per 4 pixels, until a black cell.
    std::string TextAt(int x, int y) {
        std::string s;
        for (; x < 800; x += 4) {
            const std::uint32_t c = PixelAt(Back(), x, y) & 0xFF;
            if (c == 0)
                break;
            s.push_back(char(c));
        }
        return s;
    }

    std::unique_ptr<Font> font;
    TableList tables;
    ScoresList scores;
};

TEST_F(ScoresTableTest, HeaderAndRowsAtTheirOffsetsWithEachTableInItsOwnColumn) {
    // Results are kept sorted by path, highest first: the columns still follow
    // the table list.
    AddPlayer("Anna", {{"data\\tables\\t0002.script", 300}, {"DATA\\TABLES\\T0000.SCRIPT", 100}});
    AddPlayer("Bo", {{"data\\tables\\t0001.script", -1}});
    ClearBack();
    DrawScoresTable(Back(), 213, 167, font.get(), scores, tables);

    EXPECT_EQ(TextAt(213, 167), "Name");
    EXPECT_EQ(TextAt(333, 167), "Table 1");
    EXPECT_EQ(TextAt(433, 167), "Table 2");
    EXPECT_EQ(TextAt(533, 167), "Table 3");

    EXPECT_EQ(TextAt(213, 202), "Anna");
    EXPECT_EQ(TextAt(333, 202), "100");
    EXPECT_EQ(TextAt(433, 202), "");
    EXPECT_EQ(TextAt(533, 202), "300");

    EXPECT_EQ(TextAt(213, 222), "Bo");
    EXPECT_EQ(TextAt(333, 222), "");
    EXPECT_EQ(TextAt(433, 222), "4294967295");  // scores are shown unsigned
}

TEST_F(ScoresTableTest, SixRowsTwentyPixelsApartAndNothingBeyondTheTable) {
    const char* names[] = {"P1", "P2", "P3", "P4", "P5", "P6", "P7"};
    for (const char* n : names)
        AddPlayer(n, {{"data\\tables\\t0003.script", 9}, {"data\\tables\\t0000.script", 5}});
    AddPlayer(std::string(60, 'W').c_str(), {});
    ClearBack();
    DrawScoresTable(Back(), 213, 167, font.get(), scores, tables);

    const int rows[] = {35, 55, 75, 95, 115, 135};
    for (int r = 0; r < 6; ++r) {
        EXPECT_EQ(TextAt(213, 167 + rows[r]), names[r]) << r;
        EXPECT_EQ(TextAt(333, 167 + rows[r]), "5") << r;
    }
    // The seventh player and the fourth table have no place: nothing is drawn
    // below the sixth row or right of the third column's text.
    for (int y = 167 + 135 + 4; y < 600; ++y)
        for (int x = 0; x < 800; x += 2)
            ASSERT_EQ(PixelAt(Back(), x, y), 0u) << x << "," << y;
    for (int y = 167; y < 600; ++y)
        for (int x = 533 + 40; x < 800; x += 2)
            ASSERT_EQ(PixelAt(Back(), x, y), 0u) << x << "," << y;
}

TEST_F(ScoresTableTest, ALongNameStopsShortOfTheFirstScoreColumn) {
    AddPlayer(std::string(60, 'W').c_str(), {{"data\\tables\\t0000.script", 7}});
    AddPlayer("two\\nlines", {});
    ClearBack();
    DrawScoresTable(Back(), 213, 167, font.get(), scores, tables);
    const std::string name = TextAt(213, 202);
    EXPECT_FALSE(name.empty());
    EXPECT_LT(213 + int(name.size()) * 4, 333);
    EXPECT_EQ(TextAt(333, 202), "7");
    EXPECT_EQ(TextAt(213, 222), "two");
    EXPECT_EQ(TextAt(213, 222 + 4), "");  // no second line inside the row
}

}  // namespace
