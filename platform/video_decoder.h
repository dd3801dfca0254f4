#pragma once

#include <cstdint>
#include <vector>

#include "platform/avi_header.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

namespace platform {

// One AVI clip decoded by FFmpeg, whatever its video codec, into 24-bit BGR
// rows. Frames are asked for by number; going forward decodes on, going back
// starts again from the beginning.
//   VideoDecoder d;  if (d.Open("data/clip.avi")) d.DecodeFrame(0, rows, stride);
class VideoDecoder {
public:
    VideoDecoder() = default;
    ~VideoDecoder();
    VideoDecoder(const VideoDecoder&) = delete;
    VideoDecoder& operator=(const VideoDecoder&) = delete;

    // Opens an AVI file and a decoder for its first video stream.
    bool Open(const char* path);
    void Close();
    bool IsOpen() const { return codec_ != nullptr; }

    // The file's own header (rate and scale as written, even when zero).
    const AviHeader& Header() const { return header_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Writes frame `index` as Height() rows of Width() BGR triples, the
    // bottom row first, `stride` bytes apart. A number past the last frame,
    // or a frame that can't be decoded, gives false.
    bool DecodeFrame(int index, std::uint8_t* rows, int stride);

private:
    bool Rewind();
    // The next decoded frame into frame_ with its number; false at the end.
    bool NextFrame(std::int64_t* number);
    bool Convert(const AVFrame* frame, std::uint8_t* rows, int stride);
    std::int64_t FrameNumber(const AVFrame* frame);

    AviHeader header_;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    SwsContext* sws_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;    // the frame being decoded
    AVFrame* current_ = nullptr;  // the last frame taken, ready to convert again
    AVFrame* pending_ = nullptr;  // decoded past the frame asked for: kept for later
    std::int64_t currentNumber_ = -1;
    std::int64_t pendingNumber_ = -1;
    std::int64_t decodedCount_ = 0;  // frames out of the decoder since the start
    int stream_ = -1;
    int width_ = 0, height_ = 0;
    std::vector<std::uint8_t> scratch_;  // scaled rows, padded for swscale
    bool draining_ = false;
    bool ended_ = false;
};

}  // namespace platform
