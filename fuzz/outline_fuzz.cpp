// Table outlines (zarnik-sim --outline) over arbitrary text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tools/zarnik-sim/sim_report.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TableOutline outline;
    std::string error;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (!ParseOutline(text, &outline, &error))
        return outline.points.empty() ? 0 : (std::abort(), 0);
    if (outline.points.size() < 3 || outline.points.size() > TableOutline::kMaxPoints)
        std::abort();
    for (const Vec2& p : outline.points) {
        if (!(std::fabs(p.x) <= 1000.0f && std::fabs(p.y) <= 1000.0f))
            std::abort();
    }
    outline.Inside(outline.points[0]);
    return 0;
}
