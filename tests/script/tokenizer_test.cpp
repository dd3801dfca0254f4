#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "script/script_block.h"
#include "script/zarnik_script.h"

namespace {

struct Tok {
    std::uint32_t type;
    std::string text;  // word text, or the token's source characters
    std::int64_t value = 0;
    float real = 0.0f;
};

std::vector<Tok> Tokens(const std::string& source) {
    ZarnikScr scr(source.data(), int(source.size()));
    std::vector<Tok> out;
    for (int i = 0; i < scr.TokenCount(); ++i) {
        const ZarnikTokDef& t = scr.Token(i);
        Tok k{t.type, std::string(source, t.offset, std::size_t(t.length))};
        if (t.type == TOK_INT)
            k.value = TokInt(scr, i);
        if (t.type == TOK_PUNCT)
            k.value = TokChar(scr, i);
        if (t.type == TOK_REAL)
            k.real = TokReal(scr, i);
        out.push_back(k);
    }
    return out;
}

}  // namespace

TEST(Tokenizer, KeyStatementGivesWordPunctRealPunct) {
    auto t = Tokens("atX = 1.0;");
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0].type, TOK_WORD);
    EXPECT_EQ(t[0].text, "atX");
    EXPECT_EQ(t[1].type, TOK_PUNCT);
    EXPECT_EQ(t[1].value, '=');
    EXPECT_EQ(t[2].type, TOK_REAL);
    EXPECT_FLOAT_EQ(t[2].real, 1.0f);
    EXPECT_EQ(t[3].value, ';');
}

TEST(Tokenizer, SignsAndDotsAlwaysStartNumbers) {
    auto t = Tokens("x=-.5;");
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[2].type, TOK_REAL);
    EXPECT_FLOAT_EQ(t[2].real, -0.5f);

    // The run takes every number character; the conversion reads its valid prefix.
    t = Tokens("1-2");
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].type, TOK_INT);
    EXPECT_EQ(t[0].value, 1);
    EXPECT_EQ(t[0].text, "1-2");

    t = Tokens("- . +");
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].type, TOK_INT);
    EXPECT_EQ(t[0].value, 0);
    EXPECT_EQ(t[1].type, TOK_REAL);
    EXPECT_EQ(t[1].real, 0.0f);
    EXPECT_EQ(t[2].type, TOK_INT);
}

TEST(Tokenizer, NumbersEndAtTheFirstOtherCharacter) {
    auto t = Tokens("1.5e3 ball2");
    ASSERT_EQ(t.size(), 5u);
    EXPECT_EQ(t[0].type, TOK_REAL);
    EXPECT_FLOAT_EQ(t[0].real, 1.5f);
    EXPECT_EQ(t[1].text, "e");
    EXPECT_EQ(t[2].type, TOK_INT);
    EXPECT_EQ(t[2].value, 3);
    EXPECT_EQ(t[3].text, "ball");
    EXPECT_EQ(t[4].value, 2);
}

TEST(Tokenizer, RealsRoundToSinglePrecisionAndIntegersSaturate) {
    auto t = Tokens("0.1 99999999999 -99999999999 3.40282347e38");
    ASSERT_GE(t.size(), 3u);
    EXPECT_EQ(t[0].real, 0.1f);
    EXPECT_EQ(t[1].value, 2147483647);
    EXPECT_EQ(t[2].value, -2147483647 - 1);
}

TEST(Tokenizer, LongNumberRunsConvertWhole) {
    std::string run = "1." + std::string(300, '0') + "1";
    auto t = Tokens(run + ";");
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].text.size(), run.size());
    EXPECT_FLOAT_EQ(t[0].real, 1.0f);
    std::string digits = std::string(298, '0') + "42";
    t = Tokens(digits);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].value, 42);
}

TEST(Tokenizer, QuotedStringsAreWordsWithoutTheirQuotes) {
    std::string source = "name = \"a b\"; empty = \"\";";
    ZarnikScr scr(source.data(), int(source.size()));
    ASSERT_EQ(scr.TokenCount(), 8);
    EXPECT_EQ(scr.Token(2).type, TOK_WORD);
    EXPECT_EQ(scr.Token(2).offset, 8u);  // the a, not the quote
    EXPECT_EQ(scr.Token(2).length, 3);
    EXPECT_EQ(TokText(scr, 2), "a b");
    EXPECT_EQ(scr.Token(6).type, TOK_WORD);
    EXPECT_EQ(scr.Token(6).length, 0);

    // Strings may span lines and hold anything but a double quote.
    auto t = Tokens("\"x // y\r\n{;}\"");
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].text, "x // y\r\n{;}");
}

TEST(Tokenizer, UnclosedQuoteIsPunctAndScanningGoesOn) {
    auto t = Tokens("a \"bc");
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[1].type, TOK_PUNCT);
    EXPECT_EQ(t[1].value, '"');
    EXPECT_EQ(t[2].type, TOK_WORD);
    EXPECT_EQ(t[2].text, "bc");  // the identifier ends at the end of the text
}

TEST(Tokenizer, BlanksCommentsAndTabs) {
    auto t = Tokens("\t a // comment ; {\r\n\r\n\tb//last line without end");
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].text, "a");
    EXPECT_EQ(t[1].text, "b");
    EXPECT_TRUE(Tokens("").empty());
    EXPECT_TRUE(Tokens("   \r\n\t// nothing").empty());

    // A lone slash is punctuation.
    t = Tokens("a/b");
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[1].type, TOK_PUNCT);
    EXPECT_EQ(t[1].value, '/');
}

TEST(Tokenizer, IdentifiersTakeLettersAndUnderscoresOnly) {
    auto t = Tokens("k_bounce _x A9 \xE9t\xE9");
    ASSERT_EQ(t.size(), 7u);
    EXPECT_EQ(t[0].text, "k_bounce");
    EXPECT_EQ(t[1].text, "_x");
    EXPECT_EQ(t[2].text, "A");
    EXPECT_EQ(t[3].value, 9);
    // Bytes of 128 and above are never letters.
    EXPECT_EQ(t[4].type, TOK_PUNCT);
    EXPECT_EQ(t[5].text, "t");
    EXPECT_EQ(t[6].type, TOK_PUNCT);
}

TEST(Tokenizer, BufferScriptIsNamedAutoScriptAndOwnsACopy) {
    std::string source = "a = 1;";
    ZarnikScr scr(source.data(), int(source.size()));
    source[0] = 'z';
    EXPECT_STREQ(scr.Name(), "AutoScript");
    EXPECT_EQ(TokText(scr, 0), "a");
    EXPECT_TRUE(scr.IsCompiled());

    ZarnikScr empty(nullptr, 0);
    EXPECT_EQ(empty.TokenCount(), 0);
}
