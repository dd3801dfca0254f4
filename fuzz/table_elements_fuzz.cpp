// A table script of arbitrary text loaded with every element kind: saved
// back, run and drawn for a second of frames, then edited the way the editor
// does (renumbering and swapping link references). Nothing may crash or
// hang, and the run must pass zarnik-sim's --check: a timely load, finite
// balls.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "elements/link.h"
#include "elements/table_elements.h"
#include "physics/physics_elements.h"
#include "render/display.h"
#include "table/table.h"
#include "tools/zarnik-sim/sim_check.h"

namespace {

void Fail(const std::string& error) {
    std::fprintf(stderr, "%s\n", error.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > (1u << 15))
        return 0;
    static Display* display = [] {
        auto* d = new Display();
        d->width = 320;
        d->height = 240;
        d->bpp = 32;
        d->Initialise(nullptr);
        return d;
    }();
    RegisterPhysicsElements();
    RegisterTableElements();
    Table table;
    const auto start = std::chrono::steady_clock::now();
    table.LoadFromText(reinterpret_cast<const char*>(data), int(size), "fuzz.script", "fuzz");
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::string error;
    if (!CheckLoadTime(seconds, kDefaultLoadLimit, &error))
        Fail(error);
    std::string text;
    table.SaveText(&text);
    table.lightShow = false;
    for (int frame = 0; frame < 100; ++frame) {
        table.Update(nullptr, 0.01f);
        if (!CheckBallsFinite(table, frame, &error))
            Fail(error);
        if (frame % 10 == 0) {
            table.Draw(display->BackPicture());
            for (int i = 0; i < table.ElementCount(); ++i) {
                TableObject* e = table.Element(i);
                e->DrawEditor(display->BackPicture());
                int x = 0, y = 0;
                e->GetAnchor(&x, &y);
            }
        }
    }
    if (table.ElementCount() > 2) {
        RenumberLinksAfterRemove(table, 1);
        SwapLinkIndices(table, 0, 1);
        for (int frame = 100; frame < 110; ++frame) {
            table.Update(nullptr, 0.01f);
            if (!CheckBallsFinite(table, frame, &error))
                Fail(error);
        }
    }
    return 0;
}
