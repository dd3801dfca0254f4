// A table script of arbitrary text: loaded with the physics elements, saved
// back, and run for a second of frames. No element may crash or hang, and
// the run must pass zarnik-sim's --check: a timely load, finite balls.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "physics/physics_elements.h"
#include "table/table.h"
#include "tools/zarnik-sim/sim_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > (1u << 15))
        return 0;
    RegisterPhysicsElements();
    Table table;
    const auto start = std::chrono::steady_clock::now();
    table.LoadFromText(reinterpret_cast<const char*>(data), int(size), "fuzz.script", "fuzz");
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::string error;
    if (!CheckLoadTime(seconds, kDefaultLoadLimit, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::abort();
    }
    std::string text;
    table.SaveText(&text);
    table.lightShow = false;
    for (int frame = 0; frame < 100; ++frame) {
        table.Update(nullptr, 0.01f);
        if (!CheckBallsFinite(table, frame, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::abort();
        }
    }
    return 0;
}
