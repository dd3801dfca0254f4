#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <vector>

#include "audio/cd_player.h"
#include "audio/sound_system.h"
#include "platform/audio_output.h"
#include "tests/audio/wave_bytes.h"
#include "tests/test_files.h"

namespace {

// Amplitude of the `hz` component of a signal (Goertzel, one bin).
double ToneAmplitude(const std::vector<double>& x, double rate, double hz) {
    double w = 2.0 * M_PI * hz / rate, c = 2.0 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (double v : x) {
        double s0 = v + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    double power = s1 * s1 + s2 * s2 - c * s1 * s2;
    return 2.0 * std::sqrt(std::max(power, 0.0)) / double(x.size());
}

// Plays a real wave through SDL's disk driver and listens to what came out.
TEST(SoundOutput, A440WaveReachesTheOutputAtItsLevel) {
    ScratchDir dir("disk_output");
    std::string rawPath = dir.File("out.raw");
    GetSoundSystem().Release();
    // The driver is chosen when the output opens; the old one comes back after.
    struct DriverSwap {
        std::string old = getenv("SDL_AUDIODRIVER") ? getenv("SDL_AUDIODRIVER") : "dummy";
        ~DriverSwap() {
            GetSoundSystem().Release();
            setenv("SDL_AUDIODRIVER", old.c_str(), 1);
            unsetenv("SDL_DISKAUDIOFILE");
        }
    } swap;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", rawPath.c_str(), 1);
    ASSERT_TRUE(GetSoundSystem().Initialise(nullptr));
    std::string driver = platform::AudioDriverName();

    WriteFile(dir.File("a440.wav"), SineWave(22050, 440.0, 0.6, 0.5));
    auto sound = GetSoundSystem().LoadSound(dir.File("a440.wav").c_str());
    ASSERT_TRUE(sound->HasBuffer());
    SoundSystem::Play(sound.get(), false);
    for (int i = 0; i < 300 && sound->IsPlaying(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    sound.reset();
    GetSoundSystem().Release();
    ASSERT_EQ(driver, "disk");

    // 16-bit stereo at 44100 Hz: take the left channel of the loud part.
    std::string raw = ReadFile(rawPath);
    std::vector<double> left;
    for (std::size_t i = 0; i + 3 < raw.size(); i += 4) {
        auto v = std::int16_t(std::uint8_t(raw[i]) | std::uint8_t(raw[i + 1]) << 8);
        left.push_back(v / 32768.0);
    }
    std::size_t first = 0;
    while (first < left.size() && std::fabs(left[first]) < 0.01)
        ++first;
    ASSERT_GT(left.size(), first + 22050) << "too little sound came out";
    // A quarter second from the middle of the tone.
    std::vector<double> part(left.begin() + long(first + 4410),
                             left.begin() + long(first + 4410 + 11025));
    double at440 = ToneAmplitude(part, 44100, 440);
    EXPECT_NEAR(at440, 0.5, 0.03);
    EXPECT_LT(ToneAmplitude(part, 44100, 880), 0.01);
    EXPECT_LT(ToneAmplitude(part, 44100, 300), 0.01);
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
