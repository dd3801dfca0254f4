#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A 64-bit hash of a word's bytes.
std::uint64_t HashBytes(std::string_view bytes);
// Spreads a 64-bit key over all its bits, for hash-table slots.
inline std::uint64_t Mix(std::uint64_t x) {
    x ^= x >> 32;
    x *= 0xd6e8feb86659fd93ull;
    x ^= x >> 32;
    x *= 0xd6e8feb86659fd93ull;
    x ^= x >> 32;
    return x;
}

// The string pool of a compiled script. A word takes the offset of its first
// occurrence anywhere in the pool built so far (also inside, or across the
// seam of, earlier words); a word that occurs nowhere is appended.
//
// Two levels answer that. Every word placed before is in a hash table with
// its first occurrence, which is final: the pool only grows at its end, so an
// occurrence that exists keeps being the first. Most words of a script are
// repeats and end there. A new word is looked up in a suffix automaton of the
// pool, which gives the first occurrence of any substring in steps of its
// length and grows by amortized constant work per appended byte, whatever
// the text (a q-gram index would be smaller, but scripts repeat their
// syllables so much that its candidate lists run into thousands).
//
// The automaton is kept small because it is most of the memory of a large
// compile: 16 bytes a state, and each state's transitions in one run of
// characters followed by targets, sized by powers of two and recycled.
class WordPool {
public:
    WordPool();

    // Offset of the word in the pool, appending it first if it is not there.
    std::uint32_t Place(std::string_view word);

    const std::string& Bytes() const { return pool_; }

    // Bytes held by the pool and its indexes (for measurements).
    std::size_t MemoryBytes() const;

private:
    struct State {
        std::int32_t len;
        std::int32_t link;
        std::int32_t firstEnd;  // end position of the first occurrence
        std::uint32_t run;      // transitions in runs_, 0 for none
    };
    // A word met before: its first occurrence and a hash to skip most
    // comparisons. length + 1, so that 0 marks an empty slot.
    struct Known {
        std::uint32_t hash;
        std::uint32_t offset;
        std::uint32_t lengthPlusOne;
    };

    std::int32_t* FindEdge(std::int32_t state, std::uint8_t c);
    std::int32_t Next(std::int32_t state, std::uint8_t c) const;
    void AddEdge(std::int32_t state, std::uint8_t c, std::int32_t to);
    std::uint32_t NewRun(unsigned capLog2);
    void FreeRun(std::uint32_t run);
    void Extend(std::uint8_t c, std::int32_t position);
    bool FindFirst(std::string_view word, std::uint32_t* offset) const;
    const Known* FindKnown(std::string_view word, std::uint32_t hash) const;
    void AddKnown(std::uint32_t offset, std::uint32_t length, std::uint32_t hash);

    std::string pool_;
    std::vector<State> states_;
    // Runs of transitions: a header word (count, and log2 of the capacity
    // at bit 16), the characters four to a word, then the targets.
    std::vector<std::uint32_t> runs_;
    std::uint32_t freeRuns_[9] = {};  // freed runs by log2 capacity
    std::int32_t root_[256];          // the start state's transitions, direct
    std::int32_t last_ = 0;

    std::vector<Known> known_;  // open addressing, linear probing
    std::size_t knownUsed_ = 0;
};
