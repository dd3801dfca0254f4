#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "archive/resource_archive.h"
#include "tests/test_files.h"

namespace {

const std::string kPakmill = ZARNIK_BINARY_DIR "/tools/pakmill/pakmill";

int Pakmill(const std::string& args, std::string* out) {
    return RunCommand(kPakmill + " " + args + " 2>&1", out);
}

}  // namespace

TEST(Pakmill, BuildsASortedArchiveTheReaderFinds) {
    ScratchDir dir("pakmill-build");
    WriteFile(dir.File("data/config.script"), "video { };;");
    WriteFile(dir.File("data/Tables/T0000.script"), "t");
    WriteFile(dir.File("data/b.wav"), std::string(1000, '\x7f'));
    WriteFile(dir.File("data/empty"), "");
    std::string out;
    ASSERT_EQ(Pakmill("build " + dir.File("data.pak") + " " + dir.File("data"), &out), 0) << out;

    ResourceArchive archive;
    ASSERT_TRUE(archive.Open(dir.File("data.pak").c_str()));
    ASSERT_EQ(archive.EntryCount(), 4);
    EXPECT_STREQ(archive.Entries()[0].path, "data\\b.wav");
    EXPECT_STREQ(archive.Entries()[3].path, "data\\tables\\t0000.script");
    const std::uint8_t* bytes = nullptr;
    std::uint32_t size = 0;
    ASSERT_TRUE(archive.Find("data\\Tables\\T0000.script", &bytes, &size));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), size), "t");
    ASSERT_TRUE(archive.Find("data\\empty", &bytes, &size));
    EXPECT_EQ(size, 0u);
    // Stored names keep their case.
    EXPECT_NE(ReadFile(dir.File("data.pak")).find("data\\Tables\\T0000.script"), std::string::npos);

    ASSERT_EQ(Pakmill("list " + dir.File("data.pak"), &out), 0);
    EXPECT_NE(out.find("      1000  data\\b.wav"), std::string::npos);
    EXPECT_NE(out.find("4 entries, 1012 bytes"), std::string::npos);

    ASSERT_EQ(Pakmill("extract " + dir.File("data.pak") + " " + dir.File("out"), &out), 0);
    EXPECT_EQ(ReadFile(dir.File("out/data/b.wav")), std::string(1000, '\x7f'));
    EXPECT_EQ(ReadFile(dir.File("out/data/tables/t0000.script")), "t");
}

TEST(Pakmill, RefusesBadInputAndNamesThatLeaveTheFolderClearly) {
    ScratchDir dir("pakmill-bad");
    const std::string longName(60, 'n');
    WriteFile(dir.File("long/" + longName), "x");
    WriteFile(dir.File("junk.pak"), "NOPE and more bytes");
    WriteFile(dir.File("evil.pak"), PackArchive({{"..\\evil", "x"}}));
    const std::tuple<std::string, int, std::string> cases[] = {
        {"build " + dir.File("x.pak") + " " + dir.File("nothing"), 1, "is not a folder"},
        {"build " + dir.File("x.pak") + " " + dir.File("long"), 1,
         "name too long for the archive (55 characters at most): 'long\\" + longName + "'"},
        {"list " + dir.File("junk.pak"), 1, "is not an archive"},
        {"extract " + dir.File("evil.pak") + " " + dir.File("out"), 1, "refusing entry name"},
        {"frobnicate", 2, ""},
    };
    for (const auto& [args, code, message] : cases) {
        std::string out;
        EXPECT_EQ(Pakmill(args, &out), code) << args;
        EXPECT_NE(out.find(message), std::string::npos) << out;
    }
    EXPECT_FALSE(FileExists(dir.File("x.pak")));
    EXPECT_FALSE(FileExists(dir.File("evil")));
}
