// The runner's input recordings over arbitrary text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "tools/zarnik-sim/sim_runner.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<InputEvent> events;
    std::string error;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (ParseInputRecording(text, &events, &error)) {
        for (std::size_t i = 1; i < events.size(); ++i) {
            if (events[i].frame < events[i - 1].frame)
                std::abort();
        }
    }
    return 0;
}
