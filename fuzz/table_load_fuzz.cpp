// A table script of arbitrary text: loaded with the physics elements, saved
// back, and run for a second of frames. No element may crash, hang or put a
// ball at a position that is not a number.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "physics/main_ball.h"
#include "physics/physics_elements.h"
#include "table/table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > (1u << 15))
        return 0;
    RegisterPhysicsElements();
    Table table;
    table.LoadFromText(reinterpret_cast<const char*>(data), int(size), "fuzz.script", "fuzz");
    std::string text;
    table.SaveText(&text);
    table.lightShow = false;
    for (int frame = 0; frame < 100; ++frame) {
        table.Update(nullptr, 0.01f);
        for (int i = 0; i < table.BallCount(); ++i) {
            const MainBall* b = static_cast<const MainBall*>(table.Ball(i));
            if (!std::isfinite(b->position.x) || !std::isfinite(b->position.y))
                std::abort();
        }
    }
    return 0;
}
