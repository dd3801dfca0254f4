#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "audio/cd_player.h"
#include "audio/sound_system.h"
#include "platform/audio_output.h"
#include "tests/audio/wave_bytes.h"
#include "tests/test_files.h"

namespace {

// Every sound is converted once into the output's 16-bit stereo.
TEST(PcmConversion, SamplesBecomeSixteenBitStereoAndImpossibleFormatsAreRefused) {
    using platform::SampleType;
    const std::uint8_t u8[] = {0x80, 0xFF, 0x00, 0x11};
    std::vector<std::uint8_t> out;
    ASSERT_TRUE(platform::ConvertPcm({SampleType::U8, 1, 44100}, u8, 3, &out));
    std::vector<std::int16_t> samples(out.size() / 2);
    std::memcpy(samples.data(), out.data(), out.size());
    const int expected[] = {0, 0, 32512, 32512, -32768, -32768};  // SDL may round 1 down
    ASSERT_EQ(samples.size(), 6u);
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(samples[std::size_t(i)], expected[i], 1) << i;
    // Half the rate: twice the frames; a partial frame at the end is dropped.
    ASSERT_TRUE(platform::ConvertPcm({SampleType::S16, 1, 22050}, u8, 3, &out));
    EXPECT_NEAR(double(out.size()), 2 * 4, 4);
    const platform::PcmFormat refused[] = {{SampleType::S16, 0, 22050},
                                           {SampleType::S16, 9, 22050},
                                           {SampleType::S16, 1, 99},
                                           {SampleType::S16, 1, 200001}};
    for (const platform::PcmFormat& f : refused)
        EXPECT_FALSE(platform::ConvertPcm(f, u8, 4, &out)) << f.channels << " " << f.rate;
    EXPECT_FALSE(platform::ConvertPcm({SampleType::S16, 2, 22050}, u8, 3, &out)) << "no frame";
}

// The sound system and the CD player live until the program ends: leaving
// it with the output open and a music track loaded must touch nothing that
// is already destroyed.
TEST(SoundOutput, ExitingWithTheOutputOpenIsClean) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ScratchDir dir("exit_music");
    WriteFile(dir.File("track02.wav"), SineWave(22050, 440, 0.2, 0.2));
    EXPECT_EXIT(
        {
            GetSoundSystem().Initialise(nullptr);
            static CdPlayer* cd =
                new CdPlayer(std::make_unique<MusicFolderDrive>(dir.Path().c_str()));
            cd->PlayTrack(2, true);
            std::exit(cd->playing ? 0 : 3);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
