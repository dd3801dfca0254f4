#include "platform/audio_output.h"

#include "platform/music_track.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

constexpr int kChannelGrowth = 32;
constexpr double kMaxOutputBytes = 64.0 * 1024 * 1024;

struct OutputState {
    bool open = false;
    bool subsystemStarted = false;
    int channelsAllocated = 0;
    std::vector<int> freeChannels;
    std::vector<SoundBuffer*> live;
    std::vector<MusicTrack*> liveMusic;
    int generation = 0;
    int masterVolume = 0;
    std::uint32_t musicVolume = 65535;
};

OutputState& State() {
    // Never destroyed: the sound system and the CD player, statics too, may
    // close the output while the program exits.
    static OutputState& state = *new OutputState;
    return state;
}

void ApplyMasterVolume() {
    float gain = GainFromHundredthsDb(State().masterVolume);
    Mix_MasterVolume(int(std::lround(gain * MIX_MAX_VOLUME)));
}

void ApplyMusicVolume() {
    Mix_VolumeMusic(int((State().musicVolume * MIX_MAX_VOLUME + 32767) / 65535));
}

bool TryOpenMixer() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    // No allowed changes: SDL converts to the device, and sounds are made
    // in one known format.
    if (Mix_OpenAudioDevice(kOutputRate, AUDIO_S16SYS, kOutputChannels, 1024, nullptr, 0) == 0) {
        return true;
    }
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
}

int TakeChannel() {
    OutputState& s = State();
    if (s.freeChannels.empty()) {
        int grown = s.channelsAllocated + kChannelGrowth;
        Mix_AllocateChannels(grown);
        for (int c = grown - 1; c >= s.channelsAllocated; --c)
            s.freeChannels.push_back(c);
        s.channelsAllocated = grown;
    }
    int channel = s.freeChannels.back();
    s.freeChannels.pop_back();
    return channel;
}

Uint16 SdlFormat(SampleType type) {
    switch (type) {
        case SampleType::U8:
            return AUDIO_U8;
        case SampleType::S16:
            return AUDIO_S16LSB;
        case SampleType::S32:
            return AUDIO_S32LSB;
        case SampleType::F32:
            return AUDIO_F32LSB;
    }
    return AUDIO_S16LSB;
}

}  // namespace

int PcmFormat::BytesPerFrame() const {
    int sample = type == SampleType::U8 ? 1 : type == SampleType::S16 ? 2 : 4;
    return sample * channels;
}

bool OpenAudioOutput() {
    OutputState& s = State();
    if (s.open)
        return true;
    bool opened = TryOpenMixer();
    if (!opened) {
        // Machines without a sound card: SDL's audio part may start while the
        // mixer can't open a device. The dummy driver keeps timing and state.
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        opened = TryOpenMixer();
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    }
    if (!opened)
        return false;
    Mix_Init(MIX_INIT_OGG | MIX_INIT_FLAC | MIX_INIT_MP3);
    s.open = true;
    ++s.generation;
    s.channelsAllocated = Mix_AllocateChannels(-1);
    s.freeChannels.clear();
    for (int c = s.channelsAllocated - 1; c >= 0; --c)
        s.freeChannels.push_back(c);
    ApplyMasterVolume();
    ApplyMusicVolume();
    return true;
}

void CloseAudioOutput() {
    OutputState& s = State();
    if (!s.open)
        return;
    // Buffers still held by their owners go silent; their owners free them later.
    std::vector<SoundBuffer*> live;
    live.swap(s.live);
    for (SoundBuffer* b : live)
        b->Detach();
    // Music decoders are freed while the mixer still knows them.
    std::vector<MusicTrack*> music = s.liveMusic;
    for (MusicTrack* m : music)
        m->Close();
    Mix_HaltMusic();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    s.open = false;
    s.channelsAllocated = 0;
    s.freeChannels.clear();
}

bool AudioOutputIsOpen() {
    return State().open;
}

int AudioOutputGeneration() {
    return State().generation;
}

const char* AudioDriverName() {
    if (!State().open)
        return "";
    const char* name = SDL_GetCurrentAudioDriver();
    return name ? name : "";
}

bool ConvertPcm(const PcmFormat& from, const std::uint8_t* data, std::uint32_t bytes,
                std::vector<std::uint8_t>* out) {
    out->clear();
    if (from.channels < 1 || from.channels > 8)
        return false;
    if (from.rate < 100 || from.rate > 200000)
        return false;
    std::uint32_t frame = std::uint32_t(from.BytesPerFrame());
    std::uint32_t usable = bytes - bytes % frame;
    if (usable == 0 || data == nullptr)
        return false;

    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, SdlFormat(from.type), Uint8(from.channels), from.rate, AUDIO_S16SYS,
                          kOutputChannels, kOutputRate) < 0) {
        return false;
    }
    double work = double(usable) * std::max(cvt.len_mult, 1);
    if (double(usable) * cvt.len_ratio > kMaxOutputBytes || work > 2 * kMaxOutputBytes)
        return false;
    out->resize(std::size_t(work));
    std::memcpy(out->data(), data, usable);
    if (cvt.needed) {
        cvt.buf = out->data();
        cvt.len = int(usable);
        if (SDL_ConvertAudio(&cvt) != 0) {
            out->clear();
            return false;
        }
        out->resize(std::size_t(cvt.len_cvt));
    } else {
        out->resize(usable);
    }
    out->shrink_to_fit();
    return !out->empty();
}

SoundBuffer::~SoundBuffer() {
    Release();
}

bool SoundBuffer::Create(const PcmFormat& format, const std::uint8_t* data, std::uint32_t bytes) {
    Release();
    OutputState& s = State();
    if (!s.open)
        return false;
    if (!ConvertPcm(format, data, bytes, &pcm_))
        return false;
    // The chunk points into pcm_ and does not own it.
    chunk_ = Mix_QuickLoad_RAW(pcm_.data(), Uint32(pcm_.size()));
    if (!chunk_) {
        pcm_.clear();
        return false;
    }
    channel_ = TakeChannel();
    s.live.push_back(this);
    return true;
}

void SoundBuffer::Release() {
    if (!chunk_)
        return;
    OutputState& s = State();
    Mix_HaltChannel(channel_);
    Mix_FreeChunk(chunk_);
    chunk_ = nullptr;
    s.freeChannels.push_back(channel_);
    channel_ = -1;
    s.live.erase(std::remove(s.live.begin(), s.live.end(), this), s.live.end());
    pcm_.clear();
    pcm_.shrink_to_fit();
}

void SoundBuffer::Detach() {
    if (!chunk_)
        return;
    Mix_HaltChannel(channel_);
    Mix_FreeChunk(chunk_);
    chunk_ = nullptr;
    channel_ = -1;
    pcm_.clear();
    pcm_.shrink_to_fit();
}

void SoundBuffer::Play(bool loop) {
    if (!chunk_)
        return;
    Mix_HaltChannel(channel_);
    Mix_PlayChannel(channel_, chunk_, loop ? -1 : 0);
}

void SoundBuffer::Stop() {
    if (chunk_)
        Mix_HaltChannel(channel_);
}

bool SoundBuffer::IsPlaying() const {
    return chunk_ && Mix_Playing(channel_) != 0;
}

void RegisterMusicTrack(MusicTrack* track, bool live) {
    std::vector<MusicTrack*>& list = State().liveMusic;
    list.erase(std::remove(list.begin(), list.end(), track), list.end());
    if (live)
        list.push_back(track);
}

int PlayingSoundCount() {
    return State().open ? Mix_Playing(-1) : 0;
}

bool SetMasterVolume(int hundredthsDb) {
    if (hundredthsDb < -10000 || hundredthsDb > 0)
        return false;
    State().masterVolume = hundredthsDb;
    if (State().open)
        ApplyMasterVolume();
    return true;
}

int MasterVolume() {
    return State().masterVolume;
}

float GainFromHundredthsDb(int hundredthsDb) {
    if (hundredthsDb <= -10000)
        return 0.0f;
    return float(std::pow(10.0, hundredthsDb / 2000.0));
}

void SetMusicVolume(std::uint32_t value) {
    State().musicVolume = std::min<std::uint32_t>(value, 65535);
    if (State().open)
        ApplyMusicVolume();
}

std::uint32_t MusicVolume() {
    return State().musicVolume;
}

}  // namespace platform
