#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/fixed_string.h"
#include "script/script_block.h"
#include "script/script_writer.h"
#include "script/zarnik_script.h"

namespace {

struct Fields {
    float atX = -1.0f;
    float speed = -1.0f;
    std::int32_t type = -1;
    FixedString<32> name{"unset"};
};

Fields Read(const std::string& source, Fields f = {}) {
    ZarnikScr scr(source.data(), int(source.size()));
    ReadKeys(WholeScript(scr), {KeyDef::Real("atX", &f.atX), KeyDef::Real("speed", &f.speed),
                                KeyDef::Int("type", &f.type), KeyDef::Word("name", &f.name)});
    return f;
}

}  // namespace

TEST(KeyTable, ValuesNeedTheirOwnTokenType) {
    EXPECT_EQ(Read("speed = 2;").speed, -1.0f);  // an integer is not a real
    EXPECT_EQ(Read("speed = 2.0;").speed, 2.0f);
    EXPECT_EQ(Read("type = 2.0;").type, -1);
    EXPECT_EQ(Read("type = 3;").type, 3);
    EXPECT_EQ(Read("name = 5;").name, "unset");
}

TEST(KeyTable, WordsQuotedOrBareAndCutToTheirField) {
    EXPECT_EQ(Read("name = \"ABC\";").name, "ABC");
    EXPECT_EQ(Read("name = ABC;").name, "ABC");
    EXPECT_EQ(Read("name = \"\";").name, "");
    std::string longWord(100, 'w');
    EXPECT_EQ(Read("name = \"" + longWord + "\";").name, std::string(31, 'w'));
}

TEST(KeyTable, StatementRules) {
    EXPECT_EQ(Read("atX = 1.0; atX = 2.0;").atX, 2.0f);               // later wins
    EXPECT_EQ(Read("atX 1.0;").atX, -1.0f);                           // no punctuation
    EXPECT_EQ(Read("atX : 1.0;").atX, 1.0f);                          // any punctuation
    EXPECT_EQ(Read("Line { atX = 1.0; }; speed = 3.0;").atX, -1.0f);  // nested block skipped
    EXPECT_EQ(Read("Line { atX = 1.0; }; speed = 3.0;").speed, 3.0f);
    EXPECT_EQ(Read("ATX = 1.0;").atX, -1.0f);  // case counts
    EXPECT_EQ(Read("unknown = 4.0; atX = 0.5;").atX, 0.5f);
    EXPECT_EQ(Read("junk junk junk; atX = 0.5;").atX, 0.5f);
    EXPECT_EQ(Read("atX =").atX, -1.0f);  // value missing

    Fields kept;
    kept.speed = 9.0f;
    EXPECT_EQ(Read("atX = 1.0;", kept).speed, 9.0f);  // absent keys keep their value
}

TEST(KeyTable, SameKeyUnderTwoKindsTakesTheFittingRow) {
    std::int32_t asInt = 0;
    FixedString<16> asWord;
    std::string source = "volume = 7; volume = loud;";
    ZarnikScr scr(source.data(), int(source.size()));
    ReadKeys(WholeScript(scr), {KeyDef::Int("volume", &asInt), KeyDef::Word("volume", &asWord)});
    EXPECT_EQ(asInt, 7);
    EXPECT_EQ(asWord, "loud");
}

TEST(KeyTable, ValueMustLieInsideTheBlock) {
    // The block ends right after "atX =": the 1.0 belongs to the parent.
    std::string source = "B { atX = } 1.0 ;";
    ZarnikScr scr(source.data(), int(source.size()));
    ScriptBlock whole = WholeScript(scr);
    ScriptBlock b = SubBlock(whole, 1);
    float atX = -1.0f;
    ReadKeys(b, {KeyDef::Real("atX", &atX)});
    EXPECT_EQ(atX, -1.0f);
}

TEST(Blocks, SubBlockBoundsAndNesting) {
    std::string source = "A { x = 1.0; B { y = 2.0; }; z = 3.0; };; C { };;";
    ZarnikScr scr(source.data(), int(source.size()));
    ScriptBlock whole = WholeScript(scr);
    EXPECT_EQ(whole.count, scr.TokenCount());

    ScriptBlock a = SubBlock(whole, 1);
    EXPECT_EQ(a.first, 2);
    EXPECT_TRUE(a.IsWord(0, "x"));
    EXPECT_TRUE(a.IsPunct(a.count - 1, ';'));
    EXPECT_TRUE(TokIsPunct(scr, a.first + a.count, '}'));

    // Walk A's statements: x, B, z.
    std::vector<std::string> starts;
    ForEachStatement(a, [&](int i) { starts.emplace_back(a.Text(i)); });
    EXPECT_EQ(starts, (std::vector<std::string>{"x", "B", "z"}));

    // The statement walk over the whole script skips the ";;" empties.
    starts.clear();
    ForEachStatement(whole, [&](int i) { starts.emplace_back(whole.Text(i)); });
    EXPECT_EQ(starts, (std::vector<std::string>{"A", ";", "C", ";"}));
}

TEST(Blocks, MissingClosingBraceRunsToTheEndOfTheScript) {
    std::string source = "A { x = 1.0; B { y = 2.0;";
    ZarnikScr scr(source.data(), int(source.size()));
    ScriptBlock whole = WholeScript(scr);
    ScriptBlock a = SubBlock(whole, 1);
    EXPECT_EQ(a.first + a.count, scr.TokenCount());
    ScriptBlock b = SubBlock(a, 5);
    EXPECT_EQ(b.first + b.count, scr.TokenCount());
    EXPECT_EQ(SkipStatement(a, 4), a.count);
}

TEST(Blocks, DispatchFindsListedBlocksInOrder) {
    std::string source =
        "Table { Line { atX = 0.1; }; skip = 1; Line { atX = 0.2; }; Arc; Arc { atX = 0.3; }; "
        "Other { atX = 9.0; }; };;";
    ZarnikScr scr(source.data(), int(source.size()));
    ScriptBlock whole = WholeScript(scr);
    static const SubBlockDef kTop[] = {{"Table", 1}, {nullptr, 0}};
    static const SubBlockDef kInner[] = {{"Line", 10}, {"Arc", 20}, {nullptr, 0}};
    std::vector<std::pair<int, float>> seen;
    ForEachSubBlock(whole, kTop, [&](int id, const ScriptBlock& table, int) {
        EXPECT_EQ(id, 1);
        ForEachSubBlock(table, kInner, [&](int inner, const ScriptBlock& sub, int) {
            float atX = 0.0f;
            ReadKeys(sub, {KeyDef::Real("atX", &atX)});
            seen.emplace_back(inner, atX);
        });
    });
    // "Arc;" has no brace and is skipped rather than read as a block.
    EXPECT_EQ(seen, (std::vector<std::pair<int, float>>{{10, 0.1f}, {10, 0.2f}, {20, 0.3f}}));
}

TEST(Blocks, AccessorsAreSafeOutsideTheTokens) {
    std::string source = "a";
    ZarnikScr scr(source.data(), 1);
    EXPECT_EQ(TokType(scr, 5), TOK_PUNCT);
    EXPECT_EQ(TokText(scr, -1), "");
    EXPECT_EQ(TokInt(scr, 1), 0);
    EXPECT_FALSE(TokIsWord(scr, 1, ""));
    // A token whose text would run past the buffer reads as empty.
    scr.tokens[0].length = 50;
    EXPECT_EQ(TokText(scr, 0), "");
}

TEST(ScriptWriter, WritesTheElementConventions) {
    std::string out;
    ScriptWriter w(&out);
    w.Open("MainBall", false);
    w.Real("atX", 0.5f);
    w.Time("time_to_sleep", 0.05f);
    w.Int("ball_count", 3);
    w.Word("name", "left lane");
    w.Close();
    EXPECT_EQ(out,
              "MainBall{\r\n atX = 0.5000;\r\n time_to_sleep = 0.050;\r\n ball_count = 3;\r\n"
              " name = \"left lane\";\r\n};;\r\n");

    out.clear();
    ScriptWriter d(&out);
    d.Open("Dummy");
    d.EmptyStatement();
    d.Close();
    EXPECT_EQ(out, "Dummy {\r\n ;;\r\n};;\r\n");
}
