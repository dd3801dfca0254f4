#pragma once

#include <cmath>
#include <cstdint>
#include <string>

// Little pieces of wave files, built in the tests.
inline std::string Le32(std::uint32_t v) {
    return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}
inline std::string Le16(std::uint16_t v) {
    return std::string{char(v), char(v >> 8)};
}

inline std::string Chunk(const std::string& tag, const std::string& body) {
    std::string c = tag + Le32(std::uint32_t(body.size())) + body;
    if (body.size() & 1)
        c += '\0';
    return c;
}

inline std::string FmtBody(int channels, int rate, int bits, int tag = 1) {
    int align = channels * bits / 8;
    return Le16(std::uint16_t(tag)) + Le16(std::uint16_t(channels)) + Le32(std::uint32_t(rate)) +
           Le32(std::uint32_t(rate * align)) + Le16(std::uint16_t(align)) +
           Le16(std::uint16_t(bits)) + Le16(0);
}

inline std::string Riff(const std::string& chunks) {
    return "RIFF" + Le32(std::uint32_t(4 + chunks.size())) + "WAVE" + chunks;
}

// A mono 16-bit wave of a sine at `hz`, `amplitude` of full scale.
inline std::string SineWave(int rate, double hz, double seconds, double amplitude) {
    std::string pcm;
    int n = int(rate * seconds);
    for (int i = 0; i < n; ++i) {
        double s = amplitude * 32767.0 * std::sin(2.0 * M_PI * hz * i / rate);
        pcm += Le16(std::uint16_t(std::int16_t(std::lround(s))));
    }
    return Riff(Chunk("fmt ", FmtBody(1, rate, 16)) + Chunk("data", pcm));
}
