#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "script/script_block.h"
#include "script/word_pool.h"
#include "script/zarnik_script.h"
#include "tests/test_files.h"

namespace {

std::string Le32(std::uint32_t v) {
    std::string s(4, '\0');
    for (int k = 0; k < 4; ++k)
        s[k] = char((v >> (8 * k)) & 0xFF);
    return s;
}

std::string Record(std::uint32_t offset, std::int32_t length, std::uint32_t type,
                   std::uint32_t value) {
    return Le32(offset) + Le32(std::uint32_t(length)) + Le32(type) + Le32(value);
}

std::string Compile(const std::string& source) {
    ZarnikScr scr(source.data(), int(source.size()));
    std::string image;
    EXPECT_TRUE(scr.BuildCompiled(&image));
    return image;
}

// The lowest-position search, written the slow way.
std::uint32_t NaivePlace(std::string* pool, const std::string& word) {
    for (std::size_t j = 0; j + word.size() <= pool->size(); ++j) {
        if (pool->compare(j, word.size(), word) == 0)
            return std::uint32_t(j);
    }
    std::uint32_t offset = std::uint32_t(pool->size());
    *pool += word;
    return offset;
}

}  // namespace

TEST(CompiledForm, ExactBytesOfASmallScript) {
    // Source offsets of numbers and punctuation carry over unchanged.
    std::string image = Compile("ball = 2; all = \"ball\";");
    std::string expected = Le32(20) + Le32(4) + Le32(20) + Le32(8) + Le32(24) + "ball";
    expected += Record(0, 4, TOK_WORD, 0);
    expected += Record(5, 1, TOK_PUNCT, '=');
    expected += Record(7, 1, TOK_INT, 2);
    expected += Record(8, 1, TOK_PUNCT, ';');
    expected += Record(1, 3, TOK_WORD, 0);  // "all" found inside "ball"
    expected += Record(14, 1, TOK_PUNCT, '=');
    expected += Record(0, 4, TOK_WORD, 0);
    expected += Record(22, 1, TOK_PUNCT, ';');
    EXPECT_EQ(image, expected);
}

TEST(CompiledForm, PoolAgreesWithTheLowestPositionSearchOnRandomWords) {
    std::mt19937 rng(7);
    for (int round = 0; round < 20; ++round) {
        WordPool pool;
        std::string naive;
        const int alphabet = 2 + round % 4;
        for (int i = 0; i < 400; ++i) {
            std::string word(std::size_t(rng() % 7), 'a');
            for (char& ch : word)
                ch = char('a' + rng() % unsigned(alphabet));
            ASSERT_EQ(pool.Place(word), NaivePlace(&naive, word)) << round << ":" << i;
        }
        ASSERT_EQ(pool.Bytes(), naive);
    }
}

TEST(CompiledForm, RoundTripGivesTheSameTokensAndTexts) {
    std::string source =
        "Link {\r\n from = 3; name = \"left lane\"; k = -0.25; To { item = 4; };\r\n};;\r\n";
    ZarnikScr text(source.data(), int(source.size()));
    std::string image;
    ASSERT_TRUE(text.BuildCompiled(&image));
    ZarnikScr bin(nullptr, 0);
    ASSERT_TRUE(
        bin.LoadCompiledImage(reinterpret_cast<const std::uint8_t*>(image.data()), image.size()));
    ASSERT_EQ(bin.TokenCount(), text.TokenCount());
    EXPECT_EQ(bin.tokens.array_size, bin.TokenCount());
    for (int i = 0; i < text.TokenCount(); ++i) {
        EXPECT_EQ(TokType(bin, i), TokType(text, i));
        EXPECT_EQ(bin.Token(i).value, text.Token(i).type == TOK_WORD ? 0u : text.Token(i).value);
        if (TokType(text, i) == TOK_WORD) {
            EXPECT_EQ(TokText(bin, i), TokText(text, i));
        }
    }
    // Compiling the compiled script again gives the same bytes.
    std::string again;
    ASSERT_TRUE(bin.BuildCompiled(&again));
    EXPECT_EQ(again, image);
}

TEST(CompiledForm, WriteFailsWithoutWordsButAcceptsEmptyStrings) {
    ScratchDir dir("compiled-write");
    std::string numbers = "1 2.0 ; { }";
    ZarnikScr scr(numbers.data(), int(numbers.size()));
    EXPECT_EQ(scr.TokenCount(), 5);
    EXPECT_FALSE(scr.WriteCompiled(dir.File("n.bin").c_str()));
    EXPECT_FALSE(FileExists(dir.File("n.bin")));

    std::string empties = "\"\";";
    ZarnikScr e(empties.data(), int(empties.size()));
    ASSERT_TRUE(e.WriteCompiled(dir.File("e.bin").c_str()));
    std::string bytes = ReadFile(dir.File("e.bin"));
    EXPECT_EQ(bytes.substr(0, 20), Le32(20) + Le32(0) + Le32(20) + Le32(2) + Le32(20));

    // Unknown token types abort the write.
    std::string word = "a";
    ZarnikScr odd(word.data(), 1);
    odd.tokens[0].type = 7;
    std::string image;
    EXPECT_FALSE(odd.BuildCompiled(&image));
}

TEST(CompiledForm, InconsistentImagesAreRefused) {
    const std::string good = Compile("word = 1;");
    auto load = [](const std::string& image) {
        ZarnikScr scr(nullptr, 0);
        return scr.LoadCompiledImage(reinterpret_cast<const std::uint8_t*>(image.data()),
                                     image.size());
    };
    ASSERT_TRUE(load(good));

    auto patched = [&](std::size_t at, std::uint32_t v) {
        std::string s = good;
        s.replace(at, 4, Le32(v));
        return s;
    };
    EXPECT_FALSE(load(good.substr(0, 19)));                // header cut short
    EXPECT_FALSE(load(good.substr(0, good.size() - 1)));   // token table cut short
    EXPECT_FALSE(load(patched(0, 16)));                    // header size not 20
    EXPECT_FALSE(load(patched(4, 0xFFFFFFF0u)));           // pool beyond the file
    EXPECT_FALSE(load(patched(8, 0xFFFFFFFFu)));           // pool offset beyond the file
    EXPECT_FALSE(load(patched(12, 0x10000000u)));          // token count beyond the file
    EXPECT_FALSE(load(patched(16, 0xFFFFFFF0u)));          // token offset beyond the file
    EXPECT_FALSE(load(patched(20 + 4, 3)));                // word offset past the pool
    EXPECT_FALSE(load(patched(20 + 4 + 4, 0xFFFFFFFFu)));  // negative word length
}

TEST(CompiledForm, TextFallsBackToTheCompiledFile) {
    ScratchDir dir("fallback");
    std::string source = "speed = 2.5;";
    ZarnikScr text(source.data(), int(source.size()));
    ASSERT_TRUE(text.WriteCompiled(dir.File("x.bin").c_str()));

    const std::string wanted = dir.File("x.script");
    ZarnikScr scr(wanted.c_str());
    EXPECT_EQ(std::string(scr.Name()), dir.File("x.bin"));
    ASSERT_EQ(scr.TokenCount(), 4);
    EXPECT_FLOAT_EQ(TokReal(scr, 2), 2.5f);

    // An empty .script says so, then takes the .bin all the same.
    WriteFile(wanted, "");
    std::string log = LogAddedBy([&] {
        ZarnikScr again(wanted.c_str());
        EXPECT_EQ(again.TokenCount(), 4);
    });
    EXPECT_EQ(log, "zero-length file: '" + wanted + "'...\r\n");
}

TEST(CompiledForm, LoadFailuresReportTheCallersName) {
    ScratchDir dir("load-fail");
    const std::string missing = dir.File("none.script");
    std::string log = LogAddedBy([&] {
        ZarnikScr scr(missing.c_str());
        EXPECT_EQ(scr.TokenCount(), 0);
    });
    EXPECT_EQ(log, "Can't load '" + missing + "' !\r\n");

    // Neither .script nor .bin: loading fails whatever the file holds.
    WriteFile(dir.File("a"), "a = 1;");
    const std::string plain = dir.File("a");
    log = LogAddedBy([&] { ZarnikScr scr(plain.c_str()); });
    EXPECT_EQ(log, "Can't load '" + plain + "' !\r\n");

    // A broken .bin is refused, never read past its end.
    WriteFile(dir.File("bad.bin"), Le32(20) + Le32(1000) + Le32(20) + Le32(1) + Le32(1020));
    const std::string bad = dir.File("bad.bin");
    log = LogAddedBy([&] {
        ZarnikScr scr(bad.c_str());
        EXPECT_EQ(scr.TokenCount(), 0);
    });
    EXPECT_EQ(log, "Can't load '" + bad + "' !\r\n");
}
