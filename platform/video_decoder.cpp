#include "platform/video_decoder.h"

#include <cstdio>
#include <cstring>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace platform {

namespace {

constexpr std::size_t kHeaderBytes = 64 * 1024;
constexpr int kMaxSide = 4096;

bool ReadHeaderOf(const char* path, AviHeader* header) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f)
        return false;
    std::vector<std::uint8_t> bytes(kHeaderBytes);
    std::size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return ReadAviHeader(bytes.data(), got, header);
}

}  // namespace

VideoDecoder::~VideoDecoder() {
    Close();
}

bool VideoDecoder::Open(const char* path) {
    Close();
    // Broken clips are our callers' to report, once; FFmpeg's own lines would flood.
    av_log_set_level(AV_LOG_QUIET);
    // Only AVI files are clips, whatever FFmpeg could make of other bytes.
    if (!ReadHeaderOf(path, &header_))
        return false;
    if (avformat_open_input(&format_, path, av_find_input_format("avi"), nullptr) != 0) {
        format_ = nullptr;
        return false;
    }
    if (avformat_find_stream_info(format_, nullptr) < 0) {
        Close();
        return false;
    }
    for (unsigned i = 0; i < format_->nb_streams; ++i) {
        if (format_->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            stream_ = int(i);
            break;
        }
    }
    if (stream_ < 0) {
        Close();
        return false;
    }
    const AVCodecParameters* par = format_->streams[stream_]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    width_ = header_.width > 0 ? header_.width : par->width;
    height_ = header_.height > 0 ? header_.height : par->height;
    if (!codec || width_ <= 0 || height_ <= 0 || width_ > kMaxSide || height_ > kMaxSide) {
        Close();
        return false;
    }
    codec_ = avcodec_alloc_context3(codec);
    if (!codec_ || avcodec_parameters_to_context(codec_, par) < 0) {
        Close();
        return false;
    }
    codec_->thread_count = 1;
    if (avcodec_open2(codec_, codec, nullptr) != 0) {
        Close();
        return false;
    }
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    current_ = av_frame_alloc();
    pending_ = av_frame_alloc();
    if (!packet_ || !frame_ || !current_ || !pending_) {
        Close();
        return false;
    }
    return true;
}

void VideoDecoder::Close() {
    sws_freeContext(sws_);
    sws_ = nullptr;
    av_packet_free(&packet_);
    av_frame_free(&frame_);
    av_frame_free(&current_);
    av_frame_free(&pending_);
    avcodec_free_context(&codec_);
    if (format_)
        avformat_close_input(&format_);
    format_ = nullptr;
    stream_ = -1;
    width_ = height_ = 0;
    currentNumber_ = pendingNumber_ = -1;
    decodedCount_ = 0;
    draining_ = ended_ = false;
}

std::int64_t VideoDecoder::FrameNumber(const AVFrame* frame) {
    const AVStream* st = format_->streams[stream_];
    std::int64_t ts = frame->best_effort_timestamp;
    if (ts == AV_NOPTS_VALUE)
        return decodedCount_;
    if (st->start_time != AV_NOPTS_VALUE)
        ts -= st->start_time;
    AVRational rate = st->r_frame_rate.num > 0 && st->r_frame_rate.den > 0 ? st->r_frame_rate
                                                                           : st->avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        return decodedCount_;
    return av_rescale_q(ts, st->time_base, av_inv_q(rate));
}

bool VideoDecoder::NextFrame(std::int64_t* number) {
    for (;;) {
        int r = avcodec_receive_frame(codec_, frame_);
        if (r == 0) {
            *number = FrameNumber(frame_);
            ++decodedCount_;
            return true;
        }
        if (r == AVERROR_EOF || draining_) {
            ended_ = true;
            return false;
        }
        // Wanting input, or a broken frame: either way the next packet goes in.
        for (;;) {
            if (av_read_frame(format_, packet_) < 0) {
                avcodec_send_packet(codec_, nullptr);
                draining_ = true;
                break;
            }
            bool ours = packet_->stream_index == stream_;
            int sent = ours ? avcodec_send_packet(codec_, packet_) : -1;
            av_packet_unref(packet_);
            if (ours && sent == 0)
                break;
        }
    }
}

bool VideoDecoder::Rewind() {
    const AVStream* st = format_->streams[stream_];
    std::int64_t start = st->start_time != AV_NOPTS_VALUE ? st->start_time : 0;
    if (av_seek_frame(format_, stream_, start, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(codec_);
    av_frame_unref(current_);
    av_frame_unref(pending_);
    currentNumber_ = pendingNumber_ = -1;
    decodedCount_ = 0;
    draining_ = ended_ = false;
    return true;
}

bool VideoDecoder::DecodeFrame(int index, std::uint8_t* rows, int stride) {
    if (!IsOpen() || index < 0 || !rows || stride < width_ * 3)
        return false;
    if (index < currentNumber_ || (currentNumber_ < 0 && ended_)) {
        if (!Rewind())
            return false;
    }
    while (currentNumber_ != index) {
        if (pendingNumber_ < 0) {
            std::int64_t n = 0;
            if (!NextFrame(&n))
                break;
            av_frame_move_ref(pending_, frame_);
            pendingNumber_ = n;
        }
        // A frame missing from the file repeats the one before it.
        if (pendingNumber_ > index && currentNumber_ >= 0)
            break;
        av_frame_unref(current_);
        av_frame_move_ref(current_, pending_);
        currentNumber_ = pendingNumber_;
        pendingNumber_ = -1;
        if (currentNumber_ >= index)
            break;
    }
    if (currentNumber_ < 0 || (currentNumber_ < index && ended_))
        return false;
    return Convert(current_, rows, stride);
}

bool VideoDecoder::Convert(const AVFrame* frame, std::uint8_t* rows, int stride) {
    if (frame->width <= 0 || frame->height <= 0 || frame->format < 0)
        return false;
    sws_ = sws_getCachedContext(sws_, frame->width, frame->height, AVPixelFormat(frame->format),
                                width_, height_, AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr, nullptr,
                                nullptr);
    if (!sws_)
        return false;
    // swscale's vector code writes whole blocks and may run past the end of a
    // row, so it scales into rows of our own with room to spare, and only the
    // picture's bytes are copied out, bottom row first.
    const int rowBytes = width_ * 3;
    const int ownStride = (rowBytes + 63) & ~63;
    scratch_.resize(std::size_t(ownStride) * std::size_t(height_) + 64);
    std::uint8_t* dst[4] = {scratch_.data(), nullptr, nullptr, nullptr};
    int dstStride[4] = {ownStride, 0, 0, 0};
    if (sws_scale(sws_, frame->data, frame->linesize, 0, frame->height, dst, dstStride) <= 0)
        return false;
    for (int y = 0; y < height_; ++y)
        std::memcpy(rows + std::ptrdiff_t(height_ - 1 - y) * stride,
                    scratch_.data() + std::ptrdiff_t(y) * ownStride, std::size_t(rowBytes));
    return true;
}

}  // namespace platform
