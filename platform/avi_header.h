#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// What an AVI file's headers say about the file and its first video stream.
struct AviHeader {
    int width = 0, height = 0;  // main header (the stream format when zero)
    std::uint32_t suggestedBufferSize = 0;
    std::uint32_t totalFrames = 0;      // main header
    bool hasVideo = false;              // a "vids" stream header was found
    std::uint32_t scale = 0, rate = 0;  // of the first video stream
    std::uint32_t length = 0;           // frames of the first video stream
};

// Reads the "RIFF....AVI " form's "hdrl" list from the first bytes of a
// file (a few kilobytes are enough). False when the bytes are not an AVI or
// hold no main header; every size is checked against the bytes given.
bool ReadAviHeader(const std::uint8_t* bytes, std::size_t size, AviHeader* header);

}  // namespace platform
