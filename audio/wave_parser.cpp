#include "audio/wave_parser.h"

#include <cstring>

namespace {

std::uint32_t Read32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

std::uint16_t Read16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}

bool TagIs(const std::uint8_t* p, const char* tag) {
    return std::memcmp(p, tag, 4) == 0;
}

void ReadFormat(const std::uint8_t* data, std::uint32_t n, WaveFormat* format) {
    // A format block shorter than its fixed part describes nothing playable.
    if (n < 16) {
        *format = WaveFormat();
        format->channels = 0;
        format->samplesPerSec = 0;
        format->avgBytesPerSec = 0;
        return;
    }
    format->tag = Read16(data);
    format->channels = Read16(data + 2);
    format->samplesPerSec = Read32(data + 4);
    format->avgBytesPerSec = Read32(data + 8);
    format->blockAlign = Read16(data + 12);
    format->bitsPerSample = Read16(data + 14);
    format->extraSize = n >= 18 ? Read16(data + 16) : 0;
    // Extensible: the sub-format GUID begins with the plain format tag.
    format->subTag = (format->tag == 0xFFFE && n >= 26) ? Read16(data + 24) : 0;
}

}  // namespace

WaveFormat ParseWave(const std::uint8_t* bytes, std::size_t size, WaveDataSink* sink) {
    WaveFormat format;
    // 64-bit positions: sizes near 4 GB never wrap.
    std::uint64_t p = 0;
    while (p + 8 <= size) {
        std::uint64_t s = Read32(bytes + p + 4);
        if (TagIs(bytes + p, "RIFF") && p + 12 <= size && TagIs(bytes + p + 8, "WAVE")) {
            std::uint64_t formEnd = p + 8 + s;
            if (formEnd > size)
                formEnd = size;
            std::uint64_t c = p + 12;
            while (c + 8 <= formEnd) {
                std::uint64_t n = Read32(bytes + c + 4);
                if (c + 8 + n > formEnd)
                    return format;  // runs past the end: stop here
                const std::uint8_t* data = bytes + c + 8;
                if (TagIs(bytes + c, "fmt ")) {
                    ReadFormat(data, std::uint32_t(n), &format);
                } else if (TagIs(bytes + c, "data")) {
                    if (sink)
                        sink->OnData(format, data, std::uint32_t(n));
                }
                c += 8 + n + (n & 1);
            }
        }
        p += 8 + s;
    }
    return format;
}
