#pragma once

#include <cstddef>
#include <cstdint>

#include "script/flist.h"

// One table's best score of a player. 68 bytes in the scores file.
struct ScoreResult {
    char table[64] = {};
    std::int32_t score = 0;
};

struct PlayerScores {
    char name[64] = {};
    flist<ScoreResult> results;
};

// The best score of each player on each table, kept for the six players with
// the highest totals, and the "data\scores" file they live in.
class ScoresList {
public:
    static constexpr int kMaxPlayers = 6;
    static constexpr const char* kDefaultPath = "data\\scores";

    void Record(const char* player, const char* table, std::int32_t score);

    // Writes through a temporary file renamed into place, so a failed write
    // leaves the previous file whole.
    bool Write(const char* path) const;
    // A missing or unreadable file leaves the list as it is.
    bool Read(const char* path);
    // Reads records from bytes until tag 0, an unknown tag or the end; a cut
    // record ends the reading and keeps what came before.
    void ReadBytes(const std::uint8_t* bytes, std::size_t size);
    // The bytes Write puts in the file.
    void Serialize(flist<std::uint8_t>* out) const;

    void Clear() { players.Clear(); }
    std::int64_t Total(int player) const;

    flist<PlayerScores> players;
};
