// The scores file over arbitrary bytes: reading, then recording and writing
// the list back must stay inside every field.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "table/scores.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ScoresList scores;
    scores.ReadBytes(data, size);
    for (const PlayerScores& p : scores.players) {
        if (std::memchr(p.name, 0, sizeof(p.name)) == nullptr)
            std::abort();
        for (const ScoreResult& r : p.results) {
            if (std::memchr(r.table, 0, sizeof(r.table)) == nullptr)
                std::abort();
        }
    }
    scores.Record("fuzz", "data\\fuzz.script", 1);
    if (scores.players.Count > ScoresList::kMaxPlayers)
        std::abort();
    flist<std::uint8_t> out;
    scores.Serialize(&out);
    ScoresList again;
    again.ReadBytes(out.begin(), std::size_t(out.Count));
    if (again.players.Count != scores.players.Count)
        std::abort();
    return 0;
}
