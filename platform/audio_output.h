#pragma once

#include <cstdint>
#include <vector>

struct Mix_Chunk;

namespace platform {

// The sound output: one mixer device shared by wave sounds and music. The
// output format is fixed (44100 Hz, 16-bit signed, stereo) so that every
// sound is converted once, when it is made.
inline constexpr int kOutputRate = 44100;
inline constexpr int kOutputChannels = 2;

// Opens the system's device, else the dummy driver; false when neither works
// (the game then runs silent). Opening an open output does nothing.
bool OpenAudioOutput();
void CloseAudioOutput();
bool AudioOutputIsOpen();
// Counts the openings: what was made for an earlier opening is stale.
int AudioOutputGeneration();
// The driver in use ("pulseaudio", "dummy", "disk"...), or "" when closed.
const char* AudioDriverName();

// Sample layout of PCM data as a wave file describes it.
enum class SampleType { U8, S16, S32, F32 };
struct PcmFormat {
    SampleType type = SampleType::S16;
    int channels = 1;
    int rate = 22050;
    int BytesPerFrame() const;
};

// Converts interleaved PCM into the output format. Refuses (false) channel
// counts outside 1..8, rates outside 100..200000 and results above 64 MB.
// A trailing partial frame is dropped.
bool ConvertPcm(const PcmFormat& from, const std::uint8_t* data, std::uint32_t bytes,
                std::vector<std::uint8_t>* out);

// One sound converted to the output format, on a mixer channel of its own:
// playing it again restarts it, so it never sounds twice at once.
class SoundBuffer {
public:
    SoundBuffer() = default;
    ~SoundBuffer();
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    // Needs an open output. False on a refused format or empty data.
    bool Create(const PcmFormat& format, const std::uint8_t* data, std::uint32_t bytes);
    void Release();
    bool IsValid() const { return chunk_ != nullptr; }

    void Play(bool loop);
    void Stop();
    bool IsPlaying() const;
    // Output bytes held (after conversion).
    std::size_t OutputBytes() const { return pcm_.size(); }

    // Called when the output closes under a live buffer.
    void Detach();

private:
    std::vector<std::uint8_t> pcm_;
    Mix_Chunk* chunk_ = nullptr;
    int channel_ = -1;
};

class MusicTrack;
// Music tracks open now are closed with the output (MusicTrack keeps this up).
void RegisterMusicTrack(MusicTrack* track, bool live);

// Number of sound channels playing now.
int PlayingSoundCount();

// Master gain of the sounds in hundredths of a decibel, -10000 (silent) to 0
// (full). Values outside that range are refused and the old one kept.
bool SetMasterVolume(int hundredthsDb);
int MasterVolume();
// Hundredths of a decibel to linear gain (0 dB gives 1).
float GainFromHundredthsDb(int hundredthsDb);

// Music volume 0..65535 (the CD line's scale), kept while the output is closed.
void SetMusicVolume(std::uint32_t value);
std::uint32_t MusicVolume();

}  // namespace platform
