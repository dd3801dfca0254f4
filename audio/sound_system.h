#pragma once

#include <cstdint>
#include <memory>

#include "audio/wave_parser.h"

namespace platform {
struct PcmFormat;
class SoundBuffer;
class Window;
}  // namespace platform

// One loaded sound: the last "data" chunk of its wave file, converted once
// to the output's format. Without a buffer it plays nothing.
class WaveSound {
public:
    WaveSound();
    ~WaveSound();
    WaveSound(const WaveSound&) = delete;
    WaveSound& operator=(const WaveSound&) = delete;

    bool HasBuffer() const;
    bool IsPlaying() const;

    WaveFormat format;
    std::uint32_t bufferBytes = 0;  // bytes of the wave's data
    std::unique_ptr<platform::SoundBuffer> buffer;
    float duration = 0.0f;  // seconds: data bytes / bytes per second
};

// The sound device and the overall audio volume, one for the process.
class SoundSystem {
public:
    ~SoundSystem();

    // Opens the output. No sound device is no error: every sound is silent.
    bool Initialise(platform::Window* window);
    void Release();
    bool HasDevice() const { return device; }

    // v in 0..1 sets v * 10000 - 10000 hundredths of a decibel.
    void SetAudioVolume(float v);
    float GetAudioVolume() const;

    // Always returns a sound; a missing or broken file gives an empty one.
    std::unique_ptr<WaveSound> LoadSound(const char* fileName);
    // Fills `sound` from wave bytes; false (sound empty) when no buffer was made.
    bool FillSound(WaveSound* sound, const std::uint8_t* bytes, std::size_t size);

    static void Play(WaveSound* sound, bool loop);
    static void Stop(WaveSound* sound);
    static void Destroy(WaveSound* sound);

    bool device = false;
    platform::Window* window = nullptr;
    float audioVolume = 1.0f;
};

SoundSystem& GetSoundSystem();

// Whether a wave format can be played: PCM of 8, 16 or 32 bits or 32-bit
// float, 1 to 8 channels, a rate the output converts; fills `pcm` when given.
bool WaveFormatPlayable(const WaveFormat& format, platform::PcmFormat* pcm = nullptr);
