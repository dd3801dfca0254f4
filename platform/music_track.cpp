#include "platform/music_track.h"

#include <SDL_mixer.h>

#include "platform/audio_output.h"

namespace platform {

MusicTrack::~MusicTrack() {
    Close();
}

bool MusicTrack::Open(const char* path) {
    Close();
    if (!AudioOutputIsOpen())
        return false;
    music_ = Mix_LoadMUS(path);
    if (music_)
        RegisterMusicTrack(this, true);
    return music_ != nullptr;
}

void MusicTrack::Close() {
    if (!music_)
        return;
    // Freeing a playing music halts it first. The output closes every open
    // track before the mixer goes, so this never runs on a closed mixer.
    RegisterMusicTrack(this, false);
    Mix_FreeMusic(music_);
    music_ = nullptr;
}

double MusicTrack::Duration() const {
    return music_ ? Mix_MusicDuration(music_) : -1.0;
}

bool MusicTrack::Play(double startSeconds) {
    if (!music_ || !AudioOutputIsOpen())
        return false;
    if (Mix_PlayMusic(music_, 0) != 0)
        return false;
    if (startSeconds > 0)
        Mix_SetMusicPosition(startSeconds);
    return true;
}

void HaltMusic() {
    if (AudioOutputIsOpen())
        Mix_HaltMusic();
}

bool MusicPlaying() {
    return AudioOutputIsOpen() && Mix_PlayingMusic() != 0;
}

}  // namespace platform
