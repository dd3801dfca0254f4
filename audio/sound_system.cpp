#include "audio/sound_system.h"

#include <vector>

#include "platform/audio_output.h"
#include "script/file_access.h"
#include "script/message.h"

namespace {

bool ToPcmFormat(const WaveFormat& f, platform::PcmFormat* pcm) {
    std::uint16_t tag = f.tag == 0xFFFE ? f.subTag : f.tag;
    if (tag == 1 && f.bitsPerSample == 8) {
        pcm->type = platform::SampleType::U8;
    } else if (tag == 1 && f.bitsPerSample == 16) {
        pcm->type = platform::SampleType::S16;
    } else if (tag == 1 && f.bitsPerSample == 32) {
        pcm->type = platform::SampleType::S32;
    } else if (tag == 3 && f.bitsPerSample == 32) {
        pcm->type = platform::SampleType::F32;
    } else {
        return false;
    }
    if (f.channels < 1 || f.channels > 8)
        return false;
    if (f.samplesPerSec < 100 || f.samplesPerSec > 200000)
        return false;
    pcm->channels = f.channels;
    pcm->rate = int(f.samplesPerSec);
    // The block align must describe whole samples, as the device would demand.
    return f.blockAlign == pcm->BytesPerFrame();
}

// Each "data" chunk makes a new buffer; the last one made is the sound's.
class BufferMaker : public WaveDataSink {
public:
    explicit BufferMaker(WaveSound* sound) : sound_(sound) {}
    void OnData(const WaveFormat& format, const std::uint8_t* data, std::uint32_t size) override {
        sound_->bufferBytes = size;
        platform::PcmFormat pcm;
        if (!ToPcmFormat(format, &pcm))
            return;
        auto buffer = std::make_unique<platform::SoundBuffer>();
        if (!buffer->Create(pcm, data, size))
            return;
        sound_->buffer = std::move(buffer);
    }

private:
    WaveSound* sound_;
};

}  // namespace

bool WaveFormatPlayable(const WaveFormat& format, platform::PcmFormat* pcm) {
    platform::PcmFormat local;
    return ToPcmFormat(format, pcm ? pcm : &local);
}

WaveSound::WaveSound() = default;
WaveSound::~WaveSound() {
    SoundSystem::Destroy(this);
}

bool WaveSound::HasBuffer() const {
    return buffer && buffer->IsValid();
}
bool WaveSound::IsPlaying() const {
    return buffer && buffer->IsPlaying();
}

SoundSystem::~SoundSystem() {
    Release();
}

bool SoundSystem::Initialise(platform::Window* w) {
    Release();
    window = w;
    device = platform::OpenAudioOutput();
    SetAudioVolume(audioVolume);
    return true;
}

void SoundSystem::Release() {
    if (device)
        platform::CloseAudioOutput();
    device = false;
}

void SoundSystem::SetAudioVolume(float v) {
    audioVolume = v;
    // The output refuses values outside -10000..0 and keeps the last one.
    float w = v * 10000.0f - 10000.0f;
    if (!(w >= -20000.0f && w <= 20000.0f))
        w = 1.0f;  // NaN and the absurd: refused too
    platform::SetMasterVolume(int(w));
}

float SoundSystem::GetAudioVolume() const {
    return float(platform::MasterVolume() + 10000) * 0.0001f;
}

std::unique_ptr<WaveSound> SoundSystem::LoadSound(const char* fileName) {
    auto sound = std::make_unique<WaveSound>();
    if (!device)
        return sound;
    if (GetResourceProvider()) {
        // With an archive, loose files are not looked at.
        const std::uint8_t* data = nullptr;
        std::uint32_t size = 0;
        if (!FindResource(fileName, &data, &size))
            return sound;
        if (size == 0) {
            ReportMessage("Failed to load sound '%s'...", fileName);
            return sound;
        }
        if (!FillSound(sound.get(), data, size)) {
            ReportMessage("Can't create sound from wave '%s'...", fileName);
        }
        return sound;
    }
    std::vector<std::uint8_t> bytes;
    if (!ReadLooseFile(fileName, &bytes) || bytes.empty()) {
        ReportMessage("Failed to load sound '%s'...", fileName);
        return sound;
    }
    if (!FillSound(sound.get(), bytes.data(), bytes.size())) {
        ReportMessage("Can't create sound from wave '%s'...", fileName);
    }
    return sound;
}

bool SoundSystem::FillSound(WaveSound* sound, const std::uint8_t* bytes, std::size_t size) {
    Destroy(sound);
    BufferMaker maker(sound);
    sound->format = ParseWave(bytes, size, &maker);
    sound->duration = sound->format.avgBytesPerSec > 0
                          ? float(sound->bufferBytes) / float(sound->format.avgBytesPerSec)
                          : 0.0f;
    return sound->HasBuffer();
}

void SoundSystem::Play(WaveSound* sound, bool loop) {
    if (sound && sound->buffer)
        sound->buffer->Play(loop);
}

void SoundSystem::Stop(WaveSound* sound) {
    if (sound && sound->buffer)
        sound->buffer->Stop();
}

void SoundSystem::Destroy(WaveSound* sound) {
    if (!sound)
        return;
    sound->buffer.reset();
}

SoundSystem& GetSoundSystem() {
    static SoundSystem system;
    return system;
}
