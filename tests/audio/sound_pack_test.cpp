#include <gtest/gtest.h>

#include "audio/sound_pack.h"
#include "platform/audio_output.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"
#include "tests/audio/wave_bytes.h"
#include "tests/test_files.h"

namespace {

class SoundPackTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(GetSoundSystem().Initialise(nullptr)); }
    void TearDown() override { GetSoundSystem().Release(); }
    // One folder per test: ctest runs tests side by side.
    ScratchDir dir{std::string("sound_pack-") +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

TEST_F(SoundPackTest, ReadsWordsIntoExistingSlotsFromTheFirstPackOnly) {
    WriteFile(dir.File("up.wav"), SineWave(22050, 440, 0.1, 0.5));
    WriteFile(dir.File("down.wav"), SineWave(22050, 660, 0.1, 0.5));
    std::string up = dir.File("up.wav"), down = dir.File("down.wav");
    std::string text = "MenuButton { SoundPack { up = \"" + up + "\"; down = 5; left = \"" + down +
                       "\"; up \"" + down + "\"; }; SoundPack { down = \"" + down + "\"; }; };;";
    ZarnikScr scr(text.data(), int(text.size()));
    ScriptBlock button = SubBlock(WholeScript(scr), 1);

    SoundPack pack;
    EXPECT_EQ(pack.AddSlot("up"), 0);
    EXPECT_EQ(pack.AddSlot("down"), 1);
    std::string log = LogAddedBy([&] { pack.Read(button); });
    EXPECT_EQ(log, "");
    EXPECT_EQ(pack.slots[0].fileName, up);
    ASSERT_TRUE(pack.slots[0].sound);
    EXPECT_TRUE(pack.slots[0].sound->HasBuffer());
    // An integer value, an unknown slot, a missing '=' and the second pack are ignored.
    EXPECT_TRUE(pack.slots[1].fileName.empty());
    EXPECT_FALSE(pack.slots[1].sound);

    pack.Play(0);
    pack.Play(7);
    EXPECT_EQ(platform::PlayingSoundCount(), 1);
    pack.Destroy();
    EXPECT_EQ(platform::PlayingSoundCount(), 0);
}

}  // namespace
