// Replay files over arbitrary text: a file that reads is whole and within
// its bounds, and writes back to the same game.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "input/replay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Replay r;
    std::string error;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (!ParseReplay(text, &r, &error))
        return 0;
    if (r.frames < 0 || r.frames > Replay::kMaxFrames || r.events.size() > Replay::kMaxEvents ||
        !ReplayTablePathAllowed(r.table.view()))
        std::abort();
    for (std::size_t i = 0; i < r.events.size(); ++i) {
        if (r.events[i].frame >= r.frames || r.events[i].control >= REPLAY_CONTROL_COUNT ||
            (i > 0 && r.events[i].frame < r.events[i - 1].frame))
            std::abort();
    }
    if (r.TotalMs() > std::int64_t(r.frames) * Replay::kMaxFrameTime)
        std::abort();
    Replay again;
    if (!ParseReplay(FormatReplay(r), &again, &error) || again.frames != r.frames ||
        again.seed != r.seed || again.events.size() != r.events.size() ||
        again.TotalMs() != r.TotalMs())
        std::abort();
    return 0;
}
