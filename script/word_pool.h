#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// The string pool of a compiled script. A word takes the offset of its first
// occurrence anywhere in the pool built so far (also inside, or across the
// seam of, earlier words); a word that occurs nowhere is appended.
//
// The first-occurrence search runs on a suffix automaton that grows with the
// pool, so placing a word costs O(length) instead of a scan of the pool, and
// words met before are answered from a table. That keeps a script with
// hundreds of thousands of distinct words in seconds; the offsets are
// exactly those of the lowest-position search.
class WordPool {
public:
    WordPool();
    WordPool(const WordPool&) = delete;  // the lookup table points at pool_
    WordPool& operator=(const WordPool&) = delete;

    // Offset of the word in the pool, appending it first if it is not there.
    std::uint32_t Place(std::string_view word);

    const std::string& Bytes() const { return pool_; }

private:
    struct State {
        std::int32_t len;
        std::int32_t link;
        std::int32_t firstEnd;  // end position of the first occurrence
        std::int32_t edges;     // head of this state's edge list (for cloning)
    };
    struct Edge {
        std::int32_t to;
        std::int32_t next;
        std::uint8_t c;
    };

    std::int32_t Next(std::int32_t state, std::uint8_t c) const;
    void SetNext(std::int32_t state, std::uint8_t c, std::int32_t to);
    std::int32_t NewState(std::int32_t len, std::int32_t link, std::int32_t firstEnd);
    void Extend(std::uint8_t c);
    bool FindFirst(std::string_view word, std::uint32_t* offset) const;
    void GrowTable();

    std::string pool_;
    std::vector<State> states_;
    std::vector<Edge> edges_;
    // Transitions by (state, character): open addressing, linear probing.
    // A slot holds the key + 1 (0 is empty) and the index of its edge.
    std::vector<std::uint64_t> keys_;
    std::vector<std::int32_t> slots_;
    std::size_t used_ = 0;
    std::int32_t last_ = 0;
    // Words whose first occurrence is final: the pool only grows at its end,
    // so an occurrence that exists keeps being the first. A key is the
    // word's (offset, length) in the pool; lookups go by the word's text.
    struct KnownHash {
        using is_transparent = void;
        const std::string* pool;
        std::size_t operator()(std::string_view w) const {
            return std::hash<std::string_view>()(w);
        }
        std::size_t operator()(std::uint64_t key) const { return (*this)(View(*pool, key)); }
    };
    struct KnownEqual {
        using is_transparent = void;
        const std::string* pool;
        bool operator()(std::uint64_t a, std::uint64_t b) const { return a == b; }
        bool operator()(std::string_view w, std::uint64_t key) const {
            return w == View(*pool, key);
        }
        bool operator()(std::uint64_t key, std::string_view w) const {
            return w == View(*pool, key);
        }
    };
    static std::string_view View(const std::string& pool, std::uint64_t key) {
        return std::string_view(pool).substr(std::size_t(key >> 32),
                                             std::size_t(key & 0xFFFFFFFFu));
    }
    std::unordered_set<std::uint64_t, KnownHash, KnownEqual> known_;
};
