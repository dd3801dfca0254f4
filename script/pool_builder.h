#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/large_block.h"

// Places all the words of a script in a string pool at once, with exactly
// the offsets WordPool::Place gives them one after another: a word takes the
// offset of its first occurrence anywhere in the pool built so far, else it
// is appended.
//
// Knowing every word in advance turns the search around. Instead of indexing
// the pool for any substring, the pool is streamed, a byte at a time as it
// grows, past the distinct words that have not occurred in it yet: a word
// shorter than 8 bytes is looked up by the bytes that end at each position,
// a longer one by its last 8 bytes and then compared whole. Each word's first
// occurrence is recorded when it is met, so placing a word is a look at its
// record. A pool byte costs a few probes of a bit filter that shrinks as
// words are found; the suffix automaton this replaces touched some hundred
// bytes of scattered memory per pool byte.
//
// Comparisons are counted. A pathological script (thousands of long words
// that share their last 8 bytes, which fill the pool) could make them
// quadratic; past a limit linear in the input the builder starts over with
// WordPool, which is linear whatever the text.
class PoolBuilder {
    template <typename T>
    using LargeVector = std::vector<T, LargeAllocator<T>>;

public:
    // Registers the next word. Its bytes stay the caller's until Build()
    // returns.
    void Add(std::string_view word);

    // Places every word added; then Offset(k) is the k-th word's offset.
    void Build();

    std::uint32_t Offset(std::size_t k) const { return offsets_[k]; }
    std::size_t WordCount() const { return uses_.size(); }
    const std::string& Bytes() const { return pool_; }

    // Comparison work allowed per byte of distinct words before falling
    // back (tests set it low to exercise the fallback).
    void SetWorkPerByte(std::uint64_t work) { workPerByte_ = work; }
    bool FellBack() const { return fellBack_; }

private:
    static constexpr std::uint32_t kUnseen = 0xFFFFFFFFu;
    static constexpr unsigned kShortMax = 7;  // longer words go by their last 8 bytes

    struct Word {
        const char* bytes;
        std::uint32_t length;
        std::uint32_t first;  // first occurrence in the pool, kUnseen until met
        bool placed;          // its first use has been placed
    };
    struct Group {  // the long words still unmet that end in `key`
        std::uint64_t key;
        std::uint32_t start;  // into candidates_; kUnseen marks an empty slot
        std::uint32_t count;
    };

    std::uint32_t Intern(std::string_view word);
    void BuildTables();
    void RebuildFilter();
    bool Append(const Word& word);
    void Scan(std::uint32_t end);
    void ScanLong(std::uint32_t end);
    void Fallback();

    LargeVector<Word> words_;          // distinct words in order of first use
    LargeVector<std::uint32_t> uses_;  // word index of each Add
    LargeVector<std::uint32_t> offsets_;
    LargeVector<std::uint64_t> intern_;  // hash << 32 | index + 1; 0 is empty
    std::size_t distinctBytes_ = 0;

    std::string pool_;
    std::uint64_t recent_ = 0;  // the last 8 pool bytes, the latest lowest

    // Short words by (length << 56 | bytes); the key is the word itself.
    struct ShortSlot {
        std::uint64_t key;  // 0 for an empty slot
        std::uint32_t word;
        bool met;
    };
    LargeVector<ShortSlot> shorts_;
    std::uint32_t shortLeft_[kShortMax + 1] = {};  // unmet short words by length
    std::vector<unsigned> shortLengths_;           // lengths with some left, ascending

    LargeVector<Group> groups_;
    LargeVector<std::uint32_t> candidates_;
    std::size_t groupsLeft_ = 0;

    // One bit per unmet short word and per group with words left; a clear
    // bit spares the table probe. Words met since it was built still pass
    // (a bit may be another word's too); it is built again when half of it
    // has gone stale, or when probes that pass for met words have cost about
    // what building it again costs.
    std::vector<std::uint64_t> filter_;
    unsigned filterShift_ = 64;
    std::size_t filterLive_ = 0;
    std::size_t staleSinceFilter_ = 0;
    std::size_t staleHits_ = 0;

    std::uint64_t work_ = 0;
    std::uint64_t workLimit_ = 0;
    std::uint64_t workPerByte_ = 64;
    bool fellBack_ = false;
};
