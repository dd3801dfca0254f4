#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "script/fixed_string.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"

namespace {

// The four keys atX, speed (reals), type (integer) and name (a 32-byte
// word) read from a text, as "atX speed type name"; unread ones stay -1/unset.
std::string Read(const std::string& source, float speed = -1.0f) {
    float atX = -1.0f;
    std::int32_t type = -1;
    FixedString<32> name{"unset"};
    ZarnikScr scr(source.data(), int(source.size()));
    ReadKeys(WholeScript(scr), {KeyDef::Real("atX", &atX), KeyDef::Real("speed", &speed),
                                KeyDef::Int("type", &type), KeyDef::Word("name", &name)});
    char out[96];
    std::snprintf(out, sizeof out, "%g %g %d %s", double(atX), double(speed), type, name.c_str());
    return out;
}

}  // namespace

TEST(KeyTable, StatementsGiveValuesOfTheirOwnKindAndSkipTheRest) {
    const std::pair<std::string, std::string> cases[] = {
        {"speed = 2; type = 2.0; name = 5;", "-1 -1 -1 unset"},  // kinds must match
        {"speed = 2.0; type = 3; name = \"ABC\";", "-1 2 3 ABC"},
        {"name = ABC;", "-1 -1 -1 ABC"},
        {"name = \"\";", "-1 -1 -1 "},
        {"name = \"" + std::string(100, 'w') + "\";", "-1 -1 -1 " + std::string(31, 'w')},
        {"atX = 1.0; atX = 2.0;", "2 -1 -1 unset"},              // later wins
        {"atX 1.0;", "-1 -1 -1 unset"},                          // no punctuation
        {"atX : 1.0;", "1 -1 -1 unset"},                         // any punctuation
        {"Line { atX = 1.0; }; speed = 3.0;", "-1 3 -1 unset"},  // nested block skipped
        {"ATX = 1.0;", "-1 -1 -1 unset"},                        // case counts
        {"unknown = 4.0; junk junk junk; atX = 0.5;", "0.5 -1 -1 unset"},
        {"atX =", "-1 -1 -1 unset"},
    };
    for (const auto& [source, fields] : cases)
        EXPECT_EQ(Read(source), fields) << source.substr(0, 40);
    EXPECT_EQ(Read("atX = 1.0;", 9.0f), "1 9 -1 unset") << "absent keys keep their value";
}

TEST(KeyTable, SameKeyUnderTwoKindsTakesTheFittingRowAndValuesStayInTheirBlock) {
    std::int32_t asInt = 0;
    FixedString<16> asWord;
    float atX = -1.0f;
    // The block B ends right after "atX =": the 1.0 belongs to the parent.
    std::string source = "volume = 7; volume = loud; B { atX = } 1.0 ;";
    ZarnikScr scr(source.data(), int(source.size()));
    ReadKeys(WholeScript(scr), {KeyDef::Int("volume", &asInt), KeyDef::Word("volume", &asWord)});
    ReadKeys(SubBlock(WholeScript(scr), 9), {KeyDef::Real("atX", &atX)});
    EXPECT_EQ(asInt, 7);
    EXPECT_EQ(asWord, "loud");
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
