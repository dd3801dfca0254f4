// Where an installed game finds its data and puts the player's files.
#include "app/user_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "script/file_access.h"
#include "script/message.h"
#include "tests/test_files.h"

namespace {

class UserFolder : public ::testing::Test {
protected:
    void TearDown() override { SetUserDataFolder(""); }
};

TEST(UserDataFolderFor, XdgDataHomeFirstThenHomeIgnoringRelativeOrEmpty) {
    EXPECT_EQ(UserDataFolderFor("/x/xdg", "/home/p"), "/x/xdg/zarnik");
    EXPECT_EQ(UserDataFolderFor(nullptr, "/home/p"), "/home/p/.local/share/zarnik");
    EXPECT_EQ(UserDataFolderFor("", "/home/p"), "/home/p/.local/share/zarnik");
    EXPECT_EQ(UserDataFolderFor("rel/xdg", "/home/p"), "/home/p/.local/share/zarnik");
    EXPECT_EQ(UserDataFolderFor(nullptr, ""), "");
    EXPECT_EQ(UserDataFolderFor(nullptr, nullptr), "");
}

TEST_F(UserFolder, OnlyThePlayersFilesAreSentToTheFolder) {
    EXPECT_EQ(ResolveLoosePath("data\\settings"), "data/settings");  // none set: as before
    SetUserDataFolder("/u/zarnik/");
    EXPECT_EQ(UserDataFolder(), "/u/zarnik");
    EXPECT_EQ(ResolveLoosePath("data\\settings"), "/u/zarnik/data/settings");
    EXPECT_EQ(ResolveLoosePath("data\\scores"), "/u/zarnik/data/scores");
    EXPECT_EQ(ResolveLoosePath("data\\options.script"), "/u/zarnik/data/options.script");
    EXPECT_EQ(ResolveLoosePath("Zarnik.log"), "/u/zarnik/Zarnik.log");
    EXPECT_EQ(ResolveLoosePath("data\\replays\\last.replay"), "/u/zarnik/data/replays/last.replay");
    EXPECT_EQ(ResolveLoosePath("data/replays"), "/u/zarnik/data/replays");
    // The game's own data and names that merely start alike stay where they are.
    EXPECT_EQ(ResolveLoosePath("data\\config.script"), "data/config.script");
    EXPECT_EQ(ResolveLoosePath("data\\settings.bak"), "data/settings.bak");
    EXPECT_EQ(ResolveLoosePath("data\\scores\\x"), "data/scores/x");
    EXPECT_EQ(ResolveLoosePath("data\\replaysX\\a.replay"), "data/replaysX/a.replay");
    EXPECT_EQ(ResolveLoosePath("data\\tables\\t0000.script"), "data/tables/t0000.script");
    EXPECT_FALSE(IsUserDataPath(nullptr));
    EXPECT_FALSE(IsUserDataPath("data"));
}

TEST_F(UserFolder, LogAndWritesGoThereAndFindTheFolderWithoutRegardToCase) {
    ScratchDir dir("user-folder");
    const std::string folder = std::filesystem::absolute(dir.Path()).string();
    std::filesystem::create_directories(folder + "/Data");
    SetUserDataFolder(folder);
    std::filesystem::remove(folder + "/Zarnik.log");
    ReportMessage("into the user folder");
    EXPECT_EQ(ReadFile(folder + "/Zarnik.log"), "into the user folder\r\n");
    // A folder made on a case-insensitive system is still found.
    std::FILE* f = OpenLooseFile("data\\scores", "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_TRUE(FileExists(folder + "/Data/scores"));
}

TEST(DataFolderFor, BesideTheProgramElseShareZarnikElseTheProgramsFolder) {
    ScratchDir dir("data-folder");
    const std::string prefix = std::filesystem::absolute(dir.Path()).string();
    std::filesystem::create_directories(prefix + "/bin");
    EXPECT_EQ(DataFolderFor(prefix + "/bin"), prefix + "/bin");  // nothing anywhere
    std::filesystem::create_directories(prefix + "/share/zarnik");
    EXPECT_EQ(DataFolderFor(prefix + "/bin"), prefix + "/bin");  // an empty share/zarnik
    WriteFile(prefix + "/share/zarnik/data.pak", "PACK");
    EXPECT_EQ(DataFolderFor(prefix + "/bin"), prefix + "/share/zarnik");
    // A build folder (data/ beside the program) wins over an install above it.
    std::filesystem::create_directories(prefix + "/bin/data");
    EXPECT_EQ(DataFolderFor(prefix + "/bin"), prefix + "/bin");
}

}  // namespace
