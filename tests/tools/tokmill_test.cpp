#include <gtest/gtest.h>

#include <string>

#include "script/script_block.h"
#include "script/zarnik_script.h"
#include "tests/test_files.h"

namespace {

const std::string kTokmill = ZARNIK_BINARY_DIR "/tokmill/tokmill";

int Tokmill(const std::string& args, std::string* out) {
    return RunCommand(kTokmill + " " + args + " 2>/dev/null", out);
}

}  // namespace

TEST(Tokmill, CompilesBesideTheInputAndAlwaysExitsOne) {
    ScratchDir dir("tokmill-ok");
    WriteFile(dir.File("sub/table.script"), "CollisionForm {\r\n name = \"wall\";\r\n};;\r\n");
    std::string out;
    // Folders written with backslashes, as the game names them.
    const std::string input = dir.Path() + "\\sub\\table.script";
    EXPECT_EQ(Tokmill("'" + input + "'", &out), 1);
    EXPECT_EQ(out,
              "\nCompiling '" + input + "' to '" + dir.Path() + "\\sub\\table.bin'...\nOK.\n\n");
    ASSERT_TRUE(FileExists(dir.File("sub/table.bin")));

    // What it wrote loads as the same tokens.
    const std::string bin = dir.File("sub/table.bin");
    ZarnikScr scr(bin.c_str());
    ASSERT_EQ(scr.TokenCount(), 9);
    EXPECT_TRUE(TokIsWord(scr, 4, "wall"));

    // A .bin input is read whole first, then rewritten in place.
    EXPECT_EQ(Tokmill(bin, &out), 1);
    EXPECT_EQ(out, "\nCompiling '" + bin + "' to '" + bin + "'...\nOK.\n\n");
    ZarnikScr again(bin.c_str());
    EXPECT_EQ(again.TokenCount(), 9);
}

TEST(Tokmill, FailuresPrintErrorAndLogTheLoadMessage) {
    ScratchDir dir("tokmill-fail");
    std::string out;
    EXPECT_EQ(Tokmill("", &out), 1);  // no argument: silent
    EXPECT_EQ(out, "");

    // No extension: the output is a.bin and loading fails.
    WriteFile(dir.File("a"), "a = 1;");
    const std::string a = dir.File("a");
    EXPECT_EQ(Tokmill(a, &out), 1);
    EXPECT_EQ(out, "\nCompiling '" + a + "' to '" + a + ".bin'...\nError...\n\n");
    EXPECT_FALSE(FileExists(a + ".bin"));
    EXPECT_NE(ReadFile("Zarnik.log").find("Can't load '" + a + "' !\r\n"), std::string::npos);

    // Only numbers and punctuation: tokenized, but nothing to write.
    WriteFile(dir.File("n.script"), "1 2 ; { }");
    EXPECT_EQ(Tokmill(dir.File("n.script"), &out), 1);
    EXPECT_EQ(out.substr(out.size() - 11), "\nError...\n\n");

    // An output that can't be created.
    WriteFile(dir.File("ro/t.script"), "x = 1;");
    WriteFile(dir.File("ro/t.bin/blocker"), "");  // a folder where the file should go
    EXPECT_EQ(Tokmill(dir.File("ro/t.script"), &out), 1);
    EXPECT_EQ(out.substr(out.size() - 11), "\nError...\n\n");
}
