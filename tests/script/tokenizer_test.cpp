#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "script/script_block.h"
#include "script/zarnik_script.h"

namespace {

// The tokens of a text, one string: words as [text], integers as #value,
// reals as ~value (to single precision), punctuation as its character.
std::string Tokens(const std::string& source) {
    ZarnikScr scr(source.data(), int(source.size()));
    std::string out;
    for (int i = 0; i < scr.TokenCount(); ++i) {
        char text[64];
        switch (scr.Token(i).type) {
            case TOK_WORD:
                out += "[" + std::string(TokText(scr, i)) + "]";
                break;
            case TOK_INT:
                std::snprintf(text, sizeof text, "#%d", TokInt(scr, i));
                out += text;
                break;
            case TOK_REAL:
                std::snprintf(text, sizeof text, "~%.9g", double(TokReal(scr, i)));
                out += text;
                break;
            default:
                out += TokChar(scr, i);
        }
        out += i + 1 < scr.TokenCount() ? " " : "";
    }
    return out;
}

TEST(Tokenizer, SplitsTextIntoWordsNumbersAndPunctuation) {
    const std::pair<std::string, std::string> cases[] = {
        {"atX = 1.0;", "[atX] = ~1 ;"},
        // Signs and dots always start numbers; the run takes every number
        // character and the conversion reads its valid prefix.
        {"x=-.5;", "[x] = ~-0.5 ;"},
        {"1-2", "#1"},
        {"- . +", "#0 ~0 #0"},
        {"1.5e3 ball2", "~1.5 [e] #3 [ball] #2"},
        // Reals round to single precision, integers saturate.
        {"0.1 99999999999 -99999999999", "~0.100000001 #2147483647 #-2147483648"},
        {"1." + std::string(300, '0') + "1; " + std::string(298, '0') + "42", "~1 ; #42"},
        // Quoted strings are words without their quotes, over lines too.
        {"name = \"a b\"; empty = \"\";", "[name] = [a b] ; [empty] = [] ;"},
        {"\"x // y\r\n{;}\"", "[x // y\r\n{;}]"},
        {"a \"bc", "[a] \" [bc]"},  // an unclosed quote is punctuation
        {"\t a // comment ; {\r\n\r\n\tb//last line without end", "[a] [b]"},
        {"   \r\n\t// nothing", ""},
        {"a/b", "[a] / [b]"},
        // Identifiers are letters and underscores; bytes above 127 are punctuation.
        {"k_bounce _x A9 \xE9t\xE9", "[k_bounce] [_x] [A] #9 \xE9 [t] \xE9"},
    };
    for (const auto& [source, tokens] : cases)
        EXPECT_EQ(Tokens(source), tokens) << source.substr(0, 40);
}

TEST(Tokenizer, TokensPointIntoTheTextAndTheScriptOwnsACopy) {
    std::string source = "name = \"a b\"; n = 1-2; w = 1." + std::string(300, '0') + ";";
    ZarnikScr scr(source.data(), int(source.size()));
    source[0] = 'z';
    EXPECT_STREQ(scr.Name(), "AutoScript");
    EXPECT_EQ(TokText(scr, 0), "name");
    EXPECT_EQ(scr.Token(2).offset, 8u);  // the a, not the quote
    EXPECT_EQ(scr.Token(2).length, 3);
    EXPECT_EQ(scr.Token(6).length, 3);  // the whole run "1-2"
    EXPECT_EQ(scr.Token(10).length, 302);
    EXPECT_TRUE(scr.IsCompiled());
    EXPECT_EQ(ZarnikScr(nullptr, 0).TokenCount(), 0);
}

}  // namespace
