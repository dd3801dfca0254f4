#pragma once

#include <cstddef>
#include <cstdint>

// The format block of a wave file, as its "fmt " chunk holds it.
struct WaveFormat {
    std::uint16_t tag = 1;  // 1 PCM, 3 IEEE float, 0xFFFE extensible
    std::uint16_t channels = 1;
    std::uint32_t samplesPerSec = 22050;
    std::uint32_t avgBytesPerSec = 44100;
    std::uint16_t blockAlign = 2;
    std::uint16_t bitsPerSample = 16;
    std::uint16_t extraSize = 0;
    // Sub-format tag of an extensible format (1 or 3), else 0.
    std::uint16_t subTag = 0;
};

// Called for every "data" chunk, with the format read before it (the
// default format when none was). The bytes lie inside the parsed range.
class WaveDataSink {
public:
    virtual ~WaveDataSink() = default;
    virtual void OnData(const WaveFormat& format, const std::uint8_t* data, std::uint32_t size) = 0;
};

// Walks the RIFF forms and their chunks over [bytes, bytes + size). "fmt "
// sets the format, "data" goes to the sink, other chunks are skipped; odd
// chunks are followed by a pad byte. A chunk that runs past the end of its
// form or of the bytes ends the walk; a "fmt " shorter than 16 bytes leaves a
// format of 0 channels. Returns the format last read.
WaveFormat ParseWave(const std::uint8_t* bytes, std::size_t size, WaveDataSink* sink);
