// The wave reader and the conversion every sound goes through, without a
// sound device: any bytes must be walked and converted without a fault.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/sound_system.h"
#include "audio/wave_parser.h"
#include "platform/audio_output.h"

namespace {

class ConvertingSink : public WaveDataSink {
public:
    void OnData(const WaveFormat& format, const std::uint8_t* data, std::uint32_t size) override {
        platform::PcmFormat pcm;
        if (!WaveFormatPlayable(format, &pcm))
            return;
        platform::ConvertPcm(pcm, data, size, &out);
    }
    std::vector<std::uint8_t> out;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ConvertingSink sink;
    ParseWave(data, size, &sink);
    return 0;
}
