#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "archive/resource_archive.h"
#include "audio/sound_pack.h"
#include "audio/sound_system.h"
#include "platform/audio_output.h"
#include "script/file_access.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"
#include "tests/audio/wave_bytes.h"
#include "tests/test_files.h"

namespace {

const std::uint8_t* Bytes(const std::string& s) {
    return reinterpret_cast<const std::uint8_t*>(s.data());
}

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(GetSoundSystem().Initialise(nullptr));
        ASSERT_TRUE(GetSoundSystem().HasDevice());
    }
    void TearDown() override {
        GetSoundSystem().SetAudioVolume(1.0f);
        GetSoundSystem().Release();
    }
    std::unique_ptr<WaveSound> FromBytes(const std::string& wave) {
        auto sound = std::make_unique<WaveSound>();
        GetSoundSystem().FillSound(sound.get(), Bytes(wave), wave.size());
        return sound;
    }
};

using WaveParsing = SoundTest;

TEST_F(WaveParsing, ChunkWalkSkipsPaddedChunksAndTakesTheLastData) {
    const std::string fmt16 = Chunk("fmt ", FmtBody(1, 22050, 16));
    struct Case {
        const char* what;
        std::string wave;
        std::uint32_t bytes, outBytes;
        float duration;
    } cases[] = {
        // 5512 whole frames at a quarter of the output rate, 4 bytes a frame out.
        {"8-bit stereo",
         Riff(Chunk("fmt ", FmtBody(2, 11025, 8)) + Chunk("data", std::string(11025, '\x80'))),
         11025, 5512 * 4 * 4, 11025 / 22050.0f},
        // "abc" is padded to an even length.
        {"odd chunk", Riff(fmt16 + Chunk("LIST", "abc") + Chunk("data", std::string(400, '\0'))),
         400, 1600, 200 / 22050.0f},
        // The default is 16-bit mono 22050; the duration uses the format read last.
        {"data first",
         Riff(Chunk("data", std::string(200, '\0')) + Chunk("fmt ", FmtBody(2, 11025, 8))), 200,
         800, 200 / 22050.0f},
        {"second data",
         Riff(Chunk("fmt ", FmtBody(1, 44100, 16)) + Chunk("data", std::string(100, '\0')) +
              Chunk("data", std::string(40, '\0'))),
         40, 80, 40 / 88200.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto sound = FromBytes(c.wave);
        ASSERT_TRUE(sound->HasBuffer());
        EXPECT_EQ(sound->bufferBytes, c.bytes);
        EXPECT_NEAR(double(sound->buffer->OutputBytes()), c.outBytes, 64);
        EXPECT_FLOAT_EQ(sound->duration, c.duration);
    }
}

TEST_F(WaveParsing, BrokenMissingOrEmptyWavesStayEmptyWithOneMessage) {
    ScratchDir dir("bad_waves");
    const std::string data = Chunk("data", std::string(64, '\0'));
    const std::string fmt = Chunk("fmt ", FmtBody(1, 22050, 16));
    std::string badAlign = FmtBody(2, 22050, 16);
    badAlign[12] = 3;
    const std::pair<std::string, std::string> cases[] = {
        {"past_end.wav", Riff(fmt) + "data" + Le32(0xFFFFFFF0u) + std::string(16, '\0')},
        {"short_fmt.wav", Riff(Chunk("fmt ", std::string(8, '\x01')) + data)},
        {"zero_rate.wav", Riff(Chunk("fmt ", FmtBody(1, 0, 16)) + data)},
        {"bad_align.wav", Riff(Chunk("fmt ", badAlign) + data)},
        {"adpcm.wav", Riff(Chunk("fmt ", FmtBody(1, 22050, 4, 2)) + data)},
        {"empty_data.wav", Riff(fmt + Chunk("data", ""))},
        {"not_a_wave.wav", "hello, this is text and not a wave at all"},
        {"empty.wav", ""},
        {"nowhere.wav", ""},  // not written
    };
    for (const auto& [name, bytes] : cases) {
        const std::string path = dir.File(name);
        if (name != "nowhere.wav")
            WriteFile(path, bytes);
        std::unique_ptr<WaveSound> sound;
        std::string log = LogAddedBy([&] { sound = GetSoundSystem().LoadSound(path.c_str()); });
        EXPECT_FALSE(sound->HasBuffer()) << name;
        EXPECT_TRUE(std::isfinite(sound->duration)) << name;
        const bool unread = name == "empty.wav" || name == "nowhere.wav";
        EXPECT_EQ(log, (unread ? "Failed to load sound '" : "Can't create sound from wave '") +
                           path + "'...\r\n");
    }
}

TEST_F(SoundTest, WithAnArchiveOnlyItsEntriesAreRead) {
    ScratchDir dir("archive_waves");
    std::string wave = SineWave(22050, 440, 0.1, 0.5);
    WriteFile(dir.File("loose.wav"), wave);
    const std::string pak = PackArchive({{"data\\in.wav", wave}, {"data\\zero.wav", ""}});
    ResourceArchive archive;
    ASSERT_TRUE(archive.OpenMemory(Bytes(pak), pak.size()));
    SetResourceProvider(&archive);
    std::unique_ptr<WaveSound> loose, inside, zero;
    std::string log = LogAddedBy([&] {
        loose = GetSoundSystem().LoadSound(dir.File("loose.wav").c_str());
        inside = GetSoundSystem().LoadSound("data\\in.wav");
        zero = GetSoundSystem().LoadSound("data\\zero.wav");
    });
    SetResourceProvider(nullptr);
    EXPECT_FALSE(loose->HasBuffer());
    EXPECT_TRUE(inside->HasBuffer());
    EXPECT_FALSE(zero->HasBuffer());
    EXPECT_EQ(log, "Failed to load sound 'data\\zero.wav'...\r\n");
}

TEST_F(SoundTest, PlayingAgainRestartsInsteadOfLayeringAndClosingSilences) {
    auto a = FromBytes(SineWave(22050, 440, 2.0, 0.3));
    auto b = FromBytes(SineWave(22050, 660, 2.0, 0.3));
    SoundSystem::Play(a.get(), false);
    SoundSystem::Play(a.get(), false);
    EXPECT_TRUE(a->IsPlaying());
    EXPECT_EQ(platform::PlayingSoundCount(), 1);
    SoundSystem::Play(b.get(), true);
    EXPECT_EQ(platform::PlayingSoundCount(), 2);
    SoundSystem::Stop(a.get());
    EXPECT_FALSE(a->IsPlaying());
    EXPECT_TRUE(b->IsPlaying());
    b.reset();  // destroying a playing sound stops it
    EXPECT_EQ(platform::PlayingSoundCount(), 0);
    // Closing the output silences and empties live sounds.
    SoundSystem::Play(a.get(), true);
    GetSoundSystem().Release();
    EXPECT_FALSE(a->HasBuffer());
    SoundSystem::Play(a.get(), false);
}

TEST_F(SoundTest, PackReadsWordsIntoExistingSlotsFromTheFirstPackOnly) {
    ScratchDir dir("sound_pack");
    WriteFile(dir.File("up.wav"), SineWave(22050, 440, 0.1, 0.5));
    WriteFile(dir.File("down.wav"), SineWave(22050, 660, 0.1, 0.5));
    std::string up = dir.File("up.wav"), down = dir.File("down.wav");
    std::string text = "MenuButton { SoundPack { up = \"" + up + "\"; down = 5; left = \"" + down +
                       "\"; up \"" + down + "\"; }; SoundPack { down = \"" + down + "\"; }; };;";
    ZarnikScr scr(text.data(), int(text.size()));
    ScriptBlock button = SubBlock(WholeScript(scr), 1);

    SoundPack pack;
    pack.AddSlot("up");
    pack.AddSlot("down");
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

TEST(AudioVolume, MapsToHundredthsOfADecibelAndBack) {
    SoundSystem& sound = GetSoundSystem();
    // Out of range (1.5) is refused by the output; the last good value stays.
    for (auto [v, db, back] : {std::tuple{0.5f, -5000, 0.5f},
                               {0.0f, -10000, 0.0f},
                               {1.5f, -10000, 0.0f},
                               {1.0f, 0, 1.0f}}) {
        sound.SetAudioVolume(v);
        EXPECT_EQ(platform::MasterVolume(), db) << v;
        EXPECT_FLOAT_EQ(sound.GetAudioVolume(), back) << v;
    }
    EXPECT_NEAR(platform::GainFromHundredthsDb(-2000), 0.1f, 1e-6);
    EXPECT_EQ(platform::GainFromHundredthsDb(-10000), 0.0f);
}

TEST(NoSoundDevice, SoundsAreEmptyAndSilent) {
    SoundSystem& sound = GetSoundSystem();
    sound.Release();
    ScratchDir dir("no_device");
    WriteFile(dir.File("a.wav"), SineWave(22050, 440, 0.1, 0.5));
    std::unique_ptr<WaveSound> s;
    std::string log = LogAddedBy([&] { s = sound.LoadSound(dir.File("a.wav").c_str()); });
    EXPECT_FALSE(s->HasBuffer());
    EXPECT_EQ(log, "");
    SoundSystem::Play(s.get(), true);
}

}  // namespace
