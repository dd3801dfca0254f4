// Whole clips through the decoder: the bytes are written to a scratch file
// (FFmpeg reads files), opened and decoded forward, back and past the end.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/video_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/video_clip_fuzz." + std::to_string(getpid()) + ".avi";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    platform::VideoDecoder decoder;
    if (decoder.Open(path.c_str())) {
        int stride = (decoder.Width() * 3 + 3) & ~3;
        std::vector<std::uint8_t> rows(std::size_t(stride) * std::size_t(decoder.Height()));
        for (int frame : {0, 1, 3, 2, 0, 7, 1000})
            decoder.DecodeFrame(frame, rows.data(), stride);
    }
    return 0;
}
