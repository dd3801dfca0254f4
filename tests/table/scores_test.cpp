#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "table/scores.h"
#include "tests/test_files.h"

namespace {

std::string Bytes(const ScoresList& s) {
    flist<std::uint8_t> out;
    s.Serialize(&out);
    return std::string(reinterpret_cast<const char*>(out.begin()), std::size_t(out.Count));
}

std::string Tag(int tag) {
    return std::string{char(tag), '\0'};
}
std::string Field(std::string text) {
    return text.resize(64, '\0'), text;
}
std::string Result(const std::string& table, std::uint32_t v) {
    return Tag(2) + Field(table) + std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}
ScoresList FromBytes(const std::string& bytes) {
    ScoresList s;
    s.ReadBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return s;
}

TEST(Scores, BestScorePerPlayerAndTableIgnoringPathCase) {
    ScoresList s;
    s.Record("Ann", "data\\t1.script", 500);
    s.Record("Ann", "DATA\\T1.SCRIPT", 300);
    ASSERT_EQ(s.players[0].results.Count, 1);
    EXPECT_EQ(s.players[0].results[0].score, 500);
    s.Record("Ann", "data\\t1.script", 700);
    EXPECT_EQ(s.players[0].results[0].score, 700);
    // Unsigned comparison: a negative score counts as larger.
    s.Record("Ann", "data\\t1.script", -1);
    EXPECT_EQ(s.players[0].results[0].score, -1);
    // Other tables sort by path, descending.
    s.Record("Ann", "data\\a.script", 1);
    s.Record("Ann", "data\\z.script", 1);
    EXPECT_STREQ(s.players[0].results[0].table, "data\\z.script");
    EXPECT_STREQ(s.players[0].results[2].table, "data\\a.script");
    // Player names compare exactly.
    s.Record("ann", "data\\t1.script", 5);
    EXPECT_EQ(s.players.Count, 2);
}

TEST(Scores, OnlySixPlayersWithTheHighestTotalsStay) {
    ScoresList s;
    for (int i = 1; i <= 6; ++i)
        s.Record(("P" + std::to_string(i)).c_str(), "t", i * 100);
    s.Record("Low", "t", 50);
    ASSERT_EQ(s.players.Count, 6);
    for (const PlayerScores& p : s.players)
        EXPECT_STRNE(p.name, "Low");
    s.Record("High", "t", 1000);
    ASSERT_EQ(s.players.Count, 6);
    EXPECT_STREQ(s.players[0].name, "High");
    EXPECT_STREQ(s.players[5].name, "P2");  // P1 with the smallest total went
    // Totals add over tables.
    s.Record("P2", "u", 5000);
    EXPECT_STREQ(s.players[0].name, "P2");
    EXPECT_EQ(s.Total(0), 5200);
}

TEST(Scores, LongNamesAndPathsKeep63Characters) {
    ScoresList s;
    const std::string longName(100, 'n'), longPath(80, 'p');
    s.Record(longName.c_str(), longPath.c_str(), 1);
    EXPECT_EQ(std::strlen(s.players[0].name), 63u);
    EXPECT_EQ(std::strlen(s.players[0].results[0].table), 63u);
    s.Record(longName.c_str(), longPath.c_str(), 9);  // the cut name finds the same record
    EXPECT_EQ(s.players.Count, 1);
    EXPECT_EQ(s.players[0].results[0].score, 9);
}

TEST(Scores, FileRoundTripItsLayoutAndAFailedWriteKeepsTheOldFile) {
    ScoresList s;
    s.Record("Ann", "t1", 0x01020304);
    EXPECT_EQ(Bytes(s), Tag(1) + Field("Ann") + Result("t1", 0x01020304) + Tag(0));
    ScratchDir dir("scores_test");
    ASSERT_TRUE(s.Write(dir.File("scores").c_str()));
    EXPECT_FALSE(FileExists(dir.File("scores.tmp")));
    ScoresList back;
    ASSERT_TRUE(back.Read(dir.File("scores").c_str()));
    EXPECT_EQ(Bytes(back), Bytes(s));
    // The temporary name taken by a folder: nothing can be written, the old file stays.
    WriteFile(dir.File("old"), "old");
    ASSERT_TRUE(std::filesystem::create_directory(dir.File("old.tmp")));
    EXPECT_FALSE(s.Write(dir.File("old").c_str()));
    EXPECT_EQ(ReadFile(dir.File("old")), "old");
}

TEST(Scores, ReadingStopsSafelyOnOddFiles) {
    EXPECT_EQ(FromBytes(std::string(2, '\0')).players.Count, 0);

    // A result before any player has no owner and is dropped.
    ScoresList a = FromBytes(Result("t", 5) + Tag(1) + Field("Ann") + Result("t", 7) + Tag(0));
    ASSERT_EQ(a.players.Count, 1);
    ASSERT_EQ(a.players[0].results.Count, 1);
    EXPECT_EQ(a.players[0].results[0].score, 7);

    // Cut in the middle of a record: what came before stays.
    ScoresList b = FromBytes(Tag(1) + Field("Ann") + Result("t", 7) + Tag(1) + "Bob");
    ASSERT_EQ(b.players.Count, 1);
    EXPECT_EQ(b.players[0].results.Count, 1);

    // Names without a terminator in the file are cut to 63 characters.
    ScoresList c = FromBytes(Tag(1) + std::string(64, 'x') + Tag(9) + "junk");
    ASSERT_EQ(c.players.Count, 1);
    EXPECT_EQ(std::strlen(c.players[0].name), 63u);

    ScoresList missing;
    EXPECT_FALSE(missing.Read("no_such_scores_file"));
}

}  // namespace
