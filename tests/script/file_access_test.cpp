#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "script/file_access.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"
#include "tests/test_files.h"

TEST(FileAccess, BackslashPathsMatchFoldersAndFilesWithoutCase) {
    ScratchDir dir("case-match");
    WriteFile(dir.File("Data/Tables/T0000.Script"), "a = 1;");
    EXPECT_EQ(ResolveLoosePath((dir.Path() + "\\data\\tables\\t0000.script").c_str()),
              dir.File("Data/Tables/T0000.Script"));
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadLooseFile((dir.Path() + "\\DATA\\TABLES\\t0000.SCRIPT").c_str(), &bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "a = 1;");
    // The script loader goes the same way, and takes ".SCRIPT" as ".script".
    ZarnikScr scr((dir.Path() + "\\DATA\\TABLES\\T0000.SCRIPT").c_str());
    EXPECT_EQ(scr.TokenCount(), 4);

    // A file about to be created keeps its written name in a matched folder.
    EXPECT_EQ(ResolveLoosePath((dir.Path() + "\\data\\new.bin").c_str()), dir.File("Data/new.bin"));
    EXPECT_FALSE(ReadLooseFile((dir.Path() + "\\data\\missing").c_str(), &bytes));
}
