#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "audio/cd_player.h"
#include "audio/sound_system.h"
#include "platform/audio_output.h"
#include "tests/audio/wave_bytes.h"
#include "tests/test_files.h"

namespace {

// A scripted disc: track lengths in frames (index 0 is track 1, the data
// track), positions one after another, plays that fail on chosen tracks.
class FakeDrive : public CdDrive {
public:
    FakeDrive(const std::vector<int>& lengths, const std::set<int>& failing) {
        replies["status cdaudio mode"] = "stopped";
        replies["status cdaudio number of tracks"] = std::to_string(lengths.size());
        for (int t = 1, frame = 150; t <= int(lengths.size()); frame += lengths[t - 1], ++t) {
            const std::string track = " track " + std::to_string(t);
            replies["status cdaudio length" + track] = Msf(lengths[std::size_t(t - 1)]);
            replies["status cdaudio position" + track] = Msf(frame);
            replies["status cdaudio type" + track] = t == 1 ? "other" : "audio";
            starts[Msf(frame)] = failing.count(t) ? -t : t;
        }
    }
    std::uint32_t Send(const char* command, char* reply, int size) override {
        const std::string c = command;
        if (c.starts_with("play cdaudio from ")) {
            const int t = starts.count(c.substr(18, 8)) ? starts[c.substr(18, 8)] : 0;
            played.push_back(std::abs(t));
            return t > 0 ? 0u : CD_ERROR_CANNOT_PLAY;
        }
        if (!replies.count(c))
            return CD_ERROR_BAD_TRACK;
        std::snprintf(reply, std::size_t(size), "%s", replies[c].c_str());
        return 0;
    }
    static std::string Msf(int frames) {
        char msf[16];
        std::snprintf(msf, sizeof msf, "%02d:%02d:%02d", frames / 4500, frames / 75 % 60,
                      frames % 75);
        return msf;
    }
    std::map<std::string, std::string> replies;
    std::map<std::string, int> starts;  // a track's number, negative when its play fails
    std::vector<int> played;
};

struct FakePlayer {
    explicit FakePlayer(std::vector<int> lengths, std::set<int> failing = {})
        : drive(new FakeDrive(lengths, failing)), player(std::unique_ptr<CdDrive>(drive)) {}
    FakeDrive* drive;
    CdPlayer player;
};

TEST(CdPlayer, PrepareCarriesFramesAndSecondsIntoTheEnd) {
    // Track 2 starts at 150 + 8845 frames = 01:59:70 and lasts 10 frames.
    FakePlayer p({8845, 10, 75 * 61});
    EXPECT_EQ(p.player.Prepare(2), 0u);
    EXPECT_EQ(p.player.track, 2);
    EXPECT_EQ(p.player.start, "01:59:70");
    EXPECT_EQ(p.player.end, "02:00:05");
    EXPECT_FLOAT_EQ(p.player.length, 10 * 1000.0f / 75.0f);
    EXPECT_EQ(p.player.Prepare(3), 0u);
    EXPECT_FLOAT_EQ(p.player.length, 61000.0f);
    // A failed prepare leaves no track and no length.
    EXPECT_NE(p.player.Prepare(4), 0u);
    EXPECT_EQ(p.player.track, 0);
    EXPECT_EQ(p.player.length, 0.0f);
}

TEST(CdPlayer, LoopingTrackStartsAgainEachTimeItsTimeRunsOut) {
    FakePlayer p({150, 75, 75});  // track 2 lasts one second
    p.player.PlayTrack(2, true);
    ASSERT_TRUE(p.player.playing);
    for (int i = 0; i < 36; ++i)
        p.player.Tick(0.1f);
    // Each round: ten ticks count the second down, one more starts it again.
    EXPECT_EQ(p.drive->played, (std::vector<int>{2, 2, 2, 2}));
    EXPECT_TRUE(p.player.playing);

    FakePlayer once({150, 75});
    once.player.PlayTrack(2, false);
    for (int i = 0; i < 30; ++i)
        once.player.Tick(0.1f);
    EXPECT_EQ(once.drive->played, (std::vector<int>{2}));
}

TEST(CdPlayer, FailingAudioTrackFallsToTheNextAndDataTrackGivesUp) {
    struct Case {
        std::vector<int> lengths;
        std::set<int> failing;
        int first;
        std::vector<int> played;
        int track;
        bool playing;
    } cases[] = {
        {{150, 75, 75, 75}, {2, 3}, 2, {2, 3, 4}, 4, true},
        {{150, 75}, {1}, 1, {1}, 1, false},
        // The last audio track failing: the next prepare fails and nothing plays.
        {{150, 75}, {2}, 2, {2}, 0, false},
    };
    for (const Case& c : cases) {
        FakePlayer p(c.lengths, c.failing);
        p.player.PlayTrack(c.first, true);
        EXPECT_EQ(p.drive->played, c.played) << c.first;
        EXPECT_EQ(p.player.track, c.track) << c.first;
        EXPECT_EQ(p.player.playing, c.playing) << c.first;
        EXPECT_TRUE(!c.playing || p.player.loop);
    }
}

TEST(CdVolume, ClampsToTheUnitRangeOnA16BitScale) {
    CdPlayer& cd = GetCdPlayer();
    for (auto [volume, scaled] : {std::pair{-0.2f, 0u}, {0.5f, 32767u}, {1.5f, 65535u}}) {
        cd.SetVolume(volume);
        EXPECT_EQ(platform::MusicVolume(), scaled) << volume;
    }
    EXPECT_FLOAT_EQ(cd.GetVolume(), 1.0f);
}

class MusicFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(GetSoundSystem().Initialise(nullptr));
        // Tracks 2 (0.4 s), 3 (0.2 s, as .ogg-less .wav) and 4; no track 5.
        WriteFile(dir.File("track02.wav"), SineWave(22050, 440, 0.4, 0.2));
        WriteFile(dir.File("Track03.WAV"), SineWave(22050, 440, 0.2, 0.2));
        WriteFile(dir.File("track04.wav"), SineWave(22050, 440, 0.2, 0.2));
        WriteFile(dir.File("track01.wav"), SineWave(22050, 440, 0.2, 0.2));
    }
    void TearDown() override { GetSoundSystem().Release(); }
    ScratchDir dir{std::string("music_folder-") +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

TEST_F(MusicFolder, TracksFollowTheDataTrackAndPlayStopAndNoTracksIsNotReady) {
    // Two seconds of lead-in, two of data track, then 0.4 s of track 2.
    MusicFolderDrive drive(dir.Path().c_str());
    for (auto [query, expected] : {std::pair{"number of tracks", "4"},
                                   {"type track 1", "other"},
                                   {"position track 3", "00:04:30"}}) {
        char reply[64];
        ASSERT_EQ(drive.Send((std::string("status cdaudio ") + query).c_str(), reply, 64), 0u);
        EXPECT_STREQ(reply, expected);
    }
    CdPlayer cd(std::make_unique<MusicFolderDrive>(dir.Path().c_str()));
    cd.PlayTrack(5, true);
    EXPECT_EQ(cd.track, 0);
    EXPECT_FALSE(cd.playing);
    EXPECT_EQ(cd.Mode(), 1);

    cd.PlayTrack(3, true);
    EXPECT_TRUE(cd.playing);
    EXPECT_FLOAT_EQ(cd.remaining, 200.0f);
    EXPECT_EQ(cd.Mode(), 0);
    cd.Stop();
    EXPECT_EQ(cd.Mode(), 1);

    // The output closing under open tracks: after it opens again the tracks are read anew.
    GetSoundSystem().Release();
    EXPECT_EQ(cd.Mode(), 4);
    ASSERT_TRUE(GetSoundSystem().Initialise(nullptr));
    cd.PlayTrack(2, false);
    EXPECT_TRUE(cd.playing);
    EXPECT_EQ(cd.Mode(), 0);
    cd.Close();
    EXPECT_FALSE(cd.playing);

    ScratchDir empty("music_empty");
    CdPlayer none(std::make_unique<MusicFolderDrive>(empty.Path().c_str()));
    EXPECT_EQ(none.Mode(), 4);
    none.PlayTrack(2, true);
    EXPECT_FALSE(none.playing);
    EXPECT_EQ(none.track, 0);
}

}  // namespace
