#pragma once

struct _Mix_Music;

namespace platform {

// One music file (ogg, wav, flac, mp3) streamed by the output's music
// channel. Only one track sounds at a time. Needs an open audio output.
class MusicTrack {
public:
    MusicTrack() = default;
    ~MusicTrack();
    MusicTrack(const MusicTrack&) = delete;
    MusicTrack& operator=(const MusicTrack&) = delete;

    bool Open(const char* path);
    void Close();
    bool IsOpen() const { return music_ != nullptr; }

    // Seconds, or a negative value when the decoder can't tell.
    double Duration() const;

    // Starts from `startSeconds`, once; stops whatever music was playing.
    bool Play(double startSeconds);

private:
    _Mix_Music* music_ = nullptr;
};

void HaltMusic();
bool MusicPlaying();

}  // namespace platform
