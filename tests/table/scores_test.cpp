#include <gtest/gtest.h>

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

// The list as "name:table=score,...;" per player, in order.
std::string Shown(const ScoresList& s) {
    std::string out;
    for (const PlayerScores& p : s.players) {
        out += std::string(p.name) + ":";
        for (const auto& r : p.results)
            out += std::string(r.table) + "=" + std::to_string(r.score) + ",";
        out += ";";
    }
    return out;
}

TEST(Scores, BestScorePerPlayerAndTableIgnoringPathCaseComparedUnsigned) {
    ScoresList s;
    const std::pair<int, std::string> records[] = {
        {500, "Ann:t1=500,;"},
        {300, "Ann:t1=500,;"},  // less than the best: kept
        {700, "Ann:t1=700,;"},
        {-1, "Ann:t1=-1,;"},  // unsigned: a negative score counts as larger
    };
    for (const auto& [score, shown] : records) {
        s.Record("Ann", score == 300 ? "T1" : "t1", score);
        EXPECT_EQ(Shown(s), shown) << score;
    }
    // Other tables sort by path, descending; player names compare exactly.
    s.Record("Ann", "a", 1);
    s.Record("Ann", "z", 1);
    s.Record("ann", "t1", 5);
    EXPECT_EQ(Shown(s), "ann:t1=5,;Ann:z=1,t1=-1,a=1,;");  // totals 5 and 1
}

TEST(Scores, OnlySixPlayersWithTheHighestTotalsStayAndNamesKeep63Characters) {
    ScoresList s;
    for (int i = 1; i <= 6; ++i)
        s.Record(("P" + std::to_string(i)).c_str(), "t", i * 100);
    s.Record("Low", "t", 50);
    EXPECT_EQ(Shown(s), "P6:t=600,;P5:t=500,;P4:t=400,;P3:t=300,;P2:t=200,;P1:t=100,;");
    s.Record("High", "t", 1000);  // P1, the smallest total, goes
    s.Record("P2", "u", 5000);    // totals add over tables
    EXPECT_EQ(Shown(s), "P2:u=5000,t=200,;High:t=1000,;P6:t=600,;P5:t=500,;P4:t=400,;P3:t=300,;");
    EXPECT_EQ(s.Total(0), 5200);
    const std::string longName(100, 'n'), longPath(80, 'p');
    ScoresList cut;
    cut.Record(longName.c_str(), longPath.c_str(), 1);
    cut.Record(longName.c_str(), longPath.c_str(), 9);  // the cut name finds the same record
    EXPECT_EQ(Shown(cut), std::string(63, 'n') + ":" + std::string(63, 'p') + "=9,;");
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
    const std::pair<std::string, std::string> cases[] = {
        {std::string(2, '\0'), ""},
        // A result before any player has no owner and is dropped.
        {Result("t", 5) + Tag(1) + Field("Ann") + Result("t", 7) + Tag(0), "Ann:t=7,;"},
        // Cut in the middle of a record: what came before stays.
        {Tag(1) + Field("Ann") + Result("t", 7) + Tag(1) + "Bob", "Ann:t=7,;"},
        // Names without a terminator in the file are cut to 63 characters.
        {Tag(1) + std::string(64, 'x') + Tag(9) + "junk", std::string(63, 'x') + ":;"},
    };
    for (const auto& [bytes, shown] : cases)
        EXPECT_EQ(Shown(FromBytes(bytes)), shown) << shown;
    ScoresList missing;
    EXPECT_FALSE(missing.Read("no_such_scores_file"));
}

}  // namespace
