#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "script/file_access.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"
#include "tests/test_files.h"

namespace {

// A provider holding one name, as the archive would.
class OneFile : public ResourceProvider {
public:
    OneFile(std::string name, std::string bytes)
        : name_(std::move(name)), bytes_(std::move(bytes)) {}
    bool Find(const char* path, const std::uint8_t** data, std::uint32_t* size) const override {
        if (name_ != path)
            return false;
        *data = reinterpret_cast<const std::uint8_t*>(bytes_.data());
        *size = std::uint32_t(bytes_.size());
        return true;
    }

private:
    std::string name_;
    std::string bytes_;
};

}  // namespace

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

// (The provider before loose files: see the archive tests.)
TEST(FileAccess, CompiledScriptsComeFromTheProviderToo) {
    std::string source = "x = 4;";
    ZarnikScr text(source.data(), int(source.size()));
    std::string image;
    ASSERT_TRUE(text.BuildCompiled(&image));
    OneFile provider("data\\x.bin", image);
    SetResourceProvider(&provider);
    ZarnikScr scr("data\\x.script");  // no .script anywhere: falls back to the packed .bin
    SetResourceProvider(nullptr);
    EXPECT_STREQ(scr.Name(), "data\\x.bin");
    ASSERT_EQ(scr.TokenCount(), 4);
    EXPECT_EQ(TokInt(scr, 2), 4);
}
