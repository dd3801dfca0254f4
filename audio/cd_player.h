#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "script/fixed_string.h"

namespace platform {
class MusicTrack;
}

// A CD drive driven by text commands ("status cdaudio mode", "play cdaudio
// from 00:04:00 to 01:10:30"...). Returns 0 on success, else an error code,
// and writes status replies into `reply`.
class CdDrive {
public:
    virtual ~CdDrive() = default;
    virtual std::uint32_t Send(const char* command, char* reply, int replySize) = 0;
};

// Error codes of our drives.
inline constexpr std::uint32_t CD_ERROR_NOT_READY = 1;
inline constexpr std::uint32_t CD_ERROR_BAD_TRACK = 2;
inline constexpr std::uint32_t CD_ERROR_UNKNOWN_COMMAND = 3;
inline constexpr std::uint32_t CD_ERROR_CANNOT_PLAY = 4;

// The drive of this game: music files "track02.ogg", "track03.wav"... in a
// folder ("data\music"); ".ogg", ".wav", ".flac", ".mp3", the first found.
// Track 1 is the data track. The tracks are read on the first command after
// construction or "close", as a drive reads a newly inserted disc.
class MusicFolderDrive : public CdDrive {
public:
    explicit MusicFolderDrive(const char* folder = "data\\music");
    ~MusicFolderDrive() override;

    std::uint32_t Send(const char* command, char* reply, int replySize) override;

    static constexpr int kMaxTracks = 99;
    static constexpr int kDataTrackFrames = 150;  // two seconds

private:
    struct Track {
        std::unique_ptr<platform::MusicTrack> music;  // none: no file, or the data track
        int startFrame = 0;
        int lengthFrames = 0;
    };
    bool Scan();
    void Unload();

    FixedString<260> folder_;
    bool scanned_ = false;
    int generation_ = 0;         // output opening the tracks were read under
    std::vector<Track> tracks_;  // index 0 is track 1
};

// Music in place of CD audio: plays numbered tracks and keeps their time by
// the frame clock. The CD volume is the output's music volume.
class CdPlayer {
public:
    // Without a drive, the folder drive of "data\music".
    explicit CdPlayer(std::unique_ptr<CdDrive> drive = nullptr);
    ~CdPlayer();

    float GetVolume() const;
    void SetVolume(float v);

    // 0 playing, 1 stopped, 2 paused, 3 other, 4 not ready.
    int Mode();
    std::uint32_t Prepare(int t);
    void Play(bool loopTrack);
    void PlayTrack(int t, bool loopTrack);
    void Stop();
    void Tick(float dt);
    void Close();

    char reply[64] = {};
    std::int32_t replySize = 64;
    std::uint32_t lastError = 0;
    float savedVolume = 0.0f;
    bool hasVolume = false;
    std::int32_t track = 0;
    bool playing = false;
    bool loop = false;
    float remaining = 0.0f;  // ms
    float length = 0.0f;     // ms
    FixedString<16> start;
    FixedString<16> end;

    CdDrive* Drive() { return drive_.get(); }

private:
    std::uint32_t Send(const char* command);

    std::unique_ptr<CdDrive> drive_;
};

CdPlayer& GetCdPlayer();
