#include <gtest/gtest.h>

#include <string>

#include "script/script_block.h"
#include "script/zarnik_script.h"
#include "tests/test_files.h"

namespace {

std::string Record(std::uint32_t offset, std::int32_t length, std::uint32_t type,
                   std::uint32_t value) {
    return LittleEndian32(offset) + LittleEndian32(std::uint32_t(length)) + LittleEndian32(type) +
           LittleEndian32(value);
}

std::string Header(std::uint32_t poolSize, std::uint32_t tokens, std::uint32_t tokenOffset) {
    return LittleEndian32(20) + LittleEndian32(poolSize) + LittleEndian32(20) +
           LittleEndian32(tokens) + LittleEndian32(tokenOffset);
}

bool LoadImage(ZarnikScr* scr, const std::string& image) {
    return scr->LoadCompiledImage(reinterpret_cast<const std::uint8_t*>(image.data()),
                                  image.size());
}

std::string Compile(const std::string& source) {
    ZarnikScr scr(source.data(), int(source.size()));
    std::string image;
    EXPECT_TRUE(scr.BuildCompiled(&image));
    return image;
}

}  // namespace

TEST(CompiledForm, ExactBytesOfASmallScriptAndTheSameBytesCompiledAgain) {
    // Source offsets of numbers and punctuation carry over unchanged.
    std::string image = Compile("ball = 2; all = \"ball\";");
    std::string expected = Header(4, 8, 24) + "ball";
    expected += Record(0, 4, TOK_WORD, 0);
    expected += Record(5, 1, TOK_PUNCT, '=');
    expected += Record(7, 1, TOK_INT, 2);
    expected += Record(8, 1, TOK_PUNCT, ';');
    expected += Record(1, 3, TOK_WORD, 0);  // "all" found inside "ball"
    expected += Record(14, 1, TOK_PUNCT, '=');
    expected += Record(0, 4, TOK_WORD, 0);
    expected += Record(22, 1, TOK_PUNCT, ';');
    EXPECT_EQ(image, expected);
    ZarnikScr bin(nullptr, 0);
    ASSERT_TRUE(LoadImage(&bin, image));
    EXPECT_EQ(TokText(bin, 4), "all");
    std::string again;
    ASSERT_TRUE(bin.BuildCompiled(&again));
    EXPECT_EQ(again, image);
}

TEST(CompiledForm, EmptyWordsAreWrittenAndUnknownTokenTypesRefused) {
    ScratchDir dir("compiled-write");
    std::string empties = "\"\";";
    ZarnikScr e(empties.data(), int(empties.size()));
    ASSERT_TRUE(e.WriteCompiled(dir.File("e.bin").c_str()));
    EXPECT_EQ(ReadFile(dir.File("e.bin")).substr(0, 20), Header(0, 2, 20));
    std::string word = "a", image;
    ZarnikScr odd(word.data(), 1);
    odd.tokens[0].type = 7;
    EXPECT_FALSE(odd.BuildCompiled(&image));
}

TEST(CompiledForm, InconsistentImagesAreRefused) {
    const std::string good = Compile("word = 1;");
    ZarnikScr scr(nullptr, 0);
    ASSERT_TRUE(LoadImage(&scr, good));
    auto patched = [&](std::size_t at, std::uint32_t v) {
        return std::string(good).replace(at, 4, LittleEndian32(v));
    };
    const std::string bad[] = {
        good.substr(0, 19),               // header cut short
        good.substr(0, good.size() - 1),  // token table cut short
        patched(0, 16),                   // header size not 20
        patched(4, 0xFFFFFFF0u),          // pool beyond the file
        patched(8, 0xFFFFFFFFu),          // pool offset beyond the file
        patched(12, 0x10000000u),         // token count beyond the file
        patched(16, 0xFFFFFFF0u),         // token offset beyond the file
        patched(20 + 4, 3),               // word offset past the pool
        patched(20 + 4 + 4, 0xFFFFFFFFu)  // negative word length
    };
    for (const std::string& image : bad)
        EXPECT_FALSE(LoadImage(&scr, image)) << &image - bad;
}

TEST(CompiledForm, TextFallsBackToTheCompiledFileAndFailuresNameTheCallersPath) {
    ScratchDir dir("fallback");
    std::string source = "speed = 2.5;";
    ZarnikScr text(source.data(), int(source.size()));
    ASSERT_TRUE(text.WriteCompiled(dir.File("x.bin").c_str()));
    const std::string wanted = dir.File("x.script");
    ZarnikScr scr(wanted.c_str());
    EXPECT_EQ(std::string(scr.Name()), dir.File("x.bin"));
    EXPECT_FLOAT_EQ(TokReal(scr, 2), 2.5f);
    // An empty .script says so, then takes the .bin all the same.
    WriteFile(wanted, "");
    std::string log = LogAddedBy([&] { EXPECT_EQ(ZarnikScr(wanted.c_str()).TokenCount(), 4); });
    EXPECT_EQ(log, "zero-length file: '" + wanted + "'...\r\n");
    // Missing, neither .script nor .bin, or a broken .bin: nothing is read.
    WriteFile(dir.File("a"), "a = 1;");
    WriteFile(dir.File("bad.bin"), Header(1000, 1, 1020));
    for (const std::string& path : {dir.File("none.script"), dir.File("a"), dir.File("bad.bin")}) {
        log = LogAddedBy([&] { EXPECT_EQ(ZarnikScr(path.c_str()).TokenCount(), 0); });
        EXPECT_EQ(log, "Can't load '" + path + "' !\r\n");
    }
}
