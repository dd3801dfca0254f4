#include "render/avi_video.h"

#include <string>

#include "platform/video_decoder.h"
#include "render/picture.h"
#include "script/file_access.h"
#include "script/message.h"

namespace {

int RowStride(int width) {
    return (width * 3 + 3) & ~3;
}

}  // namespace

void RowsToPixels(const std::uint8_t* rows, int stride, int width, int height,
                  std::uint32_t* pixels) {
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = rows + std::ptrdiff_t(height - 1 - y) * stride;
        std::uint32_t* dst = pixels + std::ptrdiff_t(y) * width;
        for (int x = 0; x < width; ++x, src += 3) {
            dst[x] =
                std::uint32_t(src[0]) | std::uint32_t(src[1]) << 8 | std::uint32_t(src[2]) << 16;
        }
    }
}

AviVideo::AviVideo(const char* file, const char* videoName) : name(videoName), fileName(file) {
    if (!Open())
        ReportMessage("can't load '%s'...", fileName.c_str());
}

AviVideo::~AviVideo() {
    CloseStream();
}

bool AviVideo::IsOpen() const {
    return stream && stream->IsOpen();
}

bool AviVideo::Open() {
    auto decoder = std::make_unique<platform::VideoDecoder>();
    std::string path = ResolveLoosePath(fileName.c_str());
    if (!decoder->Open(path.c_str()))
        return false;
    const platform::AviHeader& h = decoder->Header();
    width = decoder->Width();
    height = decoder->Height();
    bufferSize = int(h.suggestedBufferSize & 0x7FFFFFFF);
    frameCount = int((h.hasVideo ? h.length : h.totalFrames) & 0x7FFFFFFF);
    // A rate or scale of zero plays nothing past the first frame.
    framesPerSecond = h.hasVideo && h.scale > 0 ? float(double(h.rate) / double(h.scale)) : 0.0f;
    buffer.assign(std::size_t(RowStride(width)) * std::size_t(height), 0);
    picture = std::make_unique<Picture>(width, height, PICTURE_SYSMEM);
    stream = std::move(decoder);
    Stop();
    frame = 0;
    elapsed = 0.0f;
    if (!Decode()) {
        CloseStream();
        return false;
    }
    return true;
}

void AviVideo::CloseStream() {
    stream.reset();
}

bool AviVideo::Decode() {
    if (!IsOpen() || !picture)
        return false;
    if (frame == shownFrame)
        return true;  // already in the picture
    if (!stream->DecodeFrame(frame, buffer.data(), RowStride(width)))
        return false;
    std::uint32_t* pixels = picture->Pixels();
    if (!pixels || picture->Width() != width || picture->Height() != height)
        return false;
    RowsToPixels(buffer.data(), RowStride(width), width, height, pixels);
    if (!picture->Upload())
        return false;
    shownFrame = frame;
    return true;
}

void AviVideo::Play() {
    Stop();
    frame = 0;
    elapsed = 0.0f;
    Decode();
    playing = true;
}

void AviVideo::Stop() {
    playing = false;
}

void AviVideo::Update(float dt) {
    if (!playing)
        return;
    Decode();
    if (!Advance(dt))
        Stop();
}

bool AviVideo::Advance(float dt) {
    if (!(framesPerSecond > 0.0f))
        return false;
    elapsed += dt;
    float f = elapsed * framesPerSecond;
    frame = f < 2147483520.0f ? int(f) : 2147483520;
    return frame < frameCount;
}
