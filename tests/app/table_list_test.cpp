#include <gtest/gtest.h>

#include "app/app_config.h"
#include "app/table_list.h"
#include "render/font.h"
#include "table/scores.h"
#include "tests/render/render_fixture.h"
#include "tests/test_files.h"

namespace {

TableList ListFrom(const std::string& section) {
    AppConfig c;
    c.ReadText(("tables { " + section + " };").c_str());
    TableList list;
    list.Read(c.Section(SECTION_TABLES));
    return list;
}

TEST(TableList, PathsAreNumberedFromZeroWithFourDigitsAndAHugeCountIsCut) {
    TableList list = ListFrom("tablecount = 3; filestart = \"data\\t\"; fileend = \".script\";");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_STREQ(list.Path(2), "data\\t0002.script");
    EXPECT_EQ(list.Find("DATA\\T0002.SCRIPT"), 2);
    EXPECT_EQ(list.Find("data\\t0003.script"), -1);
    list = ListFrom("tablecount = 2000000000; filestart = \"t\"; fileend = \".s\";");
    EXPECT_EQ(list.Count(), TableList::kMaxTables);
    EXPECT_STREQ(list.Path(TableList::kMaxTables - 1), "t0999.s");
    for (const char* none :
         {"tablecount = 2.0; filestart = \"a\"; fileend = \"b\";",
          "tablecount = 2; fileend = \"b\";", "tablecount = 2; filestart = \"a\";",
          "tablecount = -4; filestart = \"a\"; fileend = \"b\";"})
        EXPECT_EQ(ListFrom(none).Count(), 0) << none;
}

// Menu actions 7 and 8: the selector turns 72 / (count + 1) frames for a
// step, 144 / (count + 1) when the step wraps round; the index wraps.
TEST(TableList, SelectorStepsAndTheirFramesWrapRound) {
    TableList list = ListFrom("tablecount = 3; filestart = \"t\"; fileend = \".s\";");
    // From, forward; the selector's frames and the table stepped to.
    const std::tuple<int, bool, int, int> steps[] = {{0, true, 18, 1},  {1, true, 18, 2},
                                                     {2, true, 36, 0},  {0, false, 36, 2},
                                                     {2, false, 18, 1}, {1, false, 18, 0}};
    for (const auto& [from, forward, frames, to] : steps) {
        list.current = from;
        EXPECT_EQ(list.SelectorFrames(forward), frames) << from << " " << forward;
        list.Step(forward);
        EXPECT_EQ(list.current, to) << from << " " << forward;
    }
    TableList none;
    EXPECT_EQ(none.SelectorFrames(true), 0);
    none.Step(false);
    EXPECT_EQ(none.current, 0);
}

// A grid font of 4 x 4 cells in which glyph c is filled with the grey
// (c, c, c): the text drawn at a place is read back from the pixels, one
// character per 4 pixels up to a black cell.
TEST(ScoresTable, SixPlayersByThreeTablesAtTheirOffsetsAndNothingBeyond) {
    Display display;
    display.width = 800;
    display.height = 600;
    display.bpp = 32;
    ASSERT_TRUE(display.Initialise(nullptr));
    WriteFile("readable.bmp", MakeBmp(64, 64, [](int x, int y) {
                  return std::uint32_t(y / 4 * 16 + x / 4) * 0x010101u;
              }));
    GridFont font("readable.bmp");
    auto textAt = [&](int x, int y) {
        std::string s;
        for (; x < 800 && (PixelAt(display.BackPicture(), x, y) & 0xFF) != 0; x += 4)
            s.push_back(char(PixelAt(display.BackPicture(), x, y) & 0xFF));
        return s;
    };
    TableList tables;
    for (int t = 0; t < 4; ++t)
        tables.paths.Append(FixedString<260>(("data\\t000" + std::to_string(t)).c_str()));
    // Results are kept sorted by path, highest first: the columns still follow
    // the table list. Players are kept by their totals.
    ScoresList scores;
    scores.Record(std::string(60, 'W').c_str(), "data\\t0002", 300);
    scores.Record(std::string(60, 'W').c_str(), "DATA\\T0000", 100);
    scores.Record("two\\nlines", "data\\t0001", -1);
    scores.Record("two\\nlines", "data\\t0003", 9);
    for (int p = 3; p <= 6; ++p)
        scores.Record(("P" + std::to_string(p)).c_str(), "data\\t0000", 10 - p);
    PlayerScores seventh;
    seventh.name[0] = '7';
    scores.players.Append(std::move(seventh));
    DrawScoresTable(display.BackPicture(), 213, 167, &font, scores, tables);
    // Rows 35, 55, ... 135 below the header; columns at 0, 120, 220 and 320.
    const std::vector<std::vector<std::string>> rows = {{"Name", "Table 1", "Table 2", "Table 3"},
                                                        {std::string(28, 'W'), "100", "", "300"},
                                                        {"two", "", "4294967295", ""},
                                                        {"P6", "4", "", ""}};
    const int rowY[] = {167, 202, 222, 302};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(textAt(213 + kScoresColumnX[c], rowY[r]), rows[r][c]) << r << " " << c;
    }
    // Nothing else: no seventh player, no fourth table, no second line in a row.
    for (int y = 0; y < 600; ++y) {
        const bool row = (y >= 167 && y < 171) || (y >= 202 && y < 306 && (y - 202) % 20 < 4);
        for (int x = 0; x < 800; x += 2)
            ASSERT_TRUE(PixelAt(display.BackPicture(), x, y) == 0u || (row && x < 533 + 40))
                << x << "," << y;
    }
}

}  // namespace
