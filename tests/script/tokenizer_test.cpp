#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
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

TEST(Tokenizer, TheScriptOwnsACopyAndANumberTokenSpansItsWholeRun) {
    std::string source = "name = 1-2; w = 1." + std::string(300, '0') + ";";
    ZarnikScr scr(source.data(), int(source.size()));
    source[0] = 'z';
    EXPECT_EQ(TokText(scr, 0), "name");
    EXPECT_EQ(scr.Token(2).length, 3);
    EXPECT_EQ(scr.Token(6).length, 302);
}

}  // namespace

TEST(Tokenizer, NumberRunsConvertAsTheCLibraryConvertsThem) {
    // Random runs of number characters, mostly well-formed reals: the value
    // must be what strtod (rounded to float) or strtoll (cut to 32 bits)
    // makes of the run, bit for bit.
    std::mt19937 rng(3);
    const char kChars[] = "0123456789.+-";
    for (int i = 0; i < 20000; ++i) {
        std::string run;
        if (rng() % 4 == 0) {
            for (unsigned n = 1 + rng() % 30; n > 0; --n)
                run += kChars[rng() % 13];
        } else {
            if (rng() % 3 == 0)
                run += rng() % 2 ? '-' : '+';
            for (unsigned n = rng() % 12; n > 0; --n)
                run += char('0' + rng() % 10);
            if (rng() % 4 != 0)
                run += '.';
            for (unsigned n = rng() % (rng() % 8 == 0 ? 30 : 8); n > 0; --n)
                run += char('0' + rng() % 10);
        }
        if (run.empty())
            run.push_back('-');
        ZarnikScr scr(run.data(), int(run.size()));
        ASSERT_EQ(scr.TokenCount(), 1) << run;
        const ZarnikTokDef& t = scr.Token(0);
        if (run.find('.') != std::string::npos) {
            ASSERT_EQ(t.type, TOK_REAL) << run;
            const float expected = float(std::strtod(run.c_str(), nullptr));
            std::uint32_t bits;
            std::memcpy(&bits, &expected, 4);
            ASSERT_EQ(t.value, bits) << run;
        } else {
            ASSERT_EQ(t.type, TOK_INT) << run;
            const long long v = std::strtoll(run.c_str(), nullptr, 10);
            ASSERT_EQ(std::int32_t(t.value),
                      std::int32_t(std::clamp<long long>(v, INT32_MIN, INT32_MAX)))
                << run;
        }
    }
}

TEST(Tokenizer, TokenArrayGrowsThirtyTwoRecordsAtATime) {
    // 320,000 tokens: past the size where the array moves to large blocks.
    std::string source;
    for (int i = 0; i < 80000; ++i)
        source += "a=1;";
    ZarnikScr scr(source.data(), int(source.size()));
    ASSERT_EQ(scr.TokenCount(), 320000);
    EXPECT_EQ(scr.tokens.array_size, 320000);  // 10,000 steps of 32
    for (int i : {0, 1, 2, 3, 160001, 319998, 319999})
        EXPECT_EQ(scr.Token(i).offset, std::uint32_t(i)) << i;
    EXPECT_EQ(TokChar(scr, 319999), ';');
    scr.tokens.Append(ZarnikTokDef{});
    EXPECT_EQ(scr.tokens.array_size, 320032);
    scr.tokens.SetSize(0);  // never below the count
    EXPECT_EQ(scr.tokens.array_size, 320001);
    EXPECT_EQ(TokChar(scr, 319999), ';');
}
