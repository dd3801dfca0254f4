#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The string pool of a compiled script. A word takes the offset of its first
// occurrence anywhere in the pool built so far (also inside, or across the
// seam of, earlier words); a word that occurs nowhere is appended.
//
// The first-occurrence search runs on a suffix automaton that grows with the
// pool, so placing a word costs O(length) instead of a scan of the pool.
// That keeps a script with hundreds of thousands of distinct words in
// seconds; the offsets are exactly those of the lowest-position search.
class WordPool {
public:
    WordPool();

    // Offset of the word in the pool, appending it first if it is not there.
    std::uint32_t Place(std::string_view word);

    const std::string& Bytes() const { return pool_; }

private:
    struct Edge {
        std::int32_t to;
        std::int32_t next;
        std::uint8_t c;
    };
    struct State {
        std::int32_t len;
        std::int32_t link;
        std::int32_t firstEnd;  // end position of the first occurrence
        std::int32_t edges;     // head of the edge list, -1 if none
    };

    std::int32_t Next(std::int32_t state, std::uint8_t c) const;
    void SetNext(std::int32_t state, std::uint8_t c, std::int32_t to);
    std::int32_t NewState(std::int32_t len, std::int32_t link, std::int32_t firstEnd);
    void Extend(std::uint8_t c);
    bool FindFirst(std::string_view word, std::uint32_t* offset) const;

    std::string pool_;
    std::vector<State> states_;
    std::vector<Edge> edges_;
    std::int32_t rootNext_[256];  // the root's transitions, looked up most
    std::int32_t last_ = 0;
};
