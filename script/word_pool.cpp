#include "script/word_pool.h"

#include <cstring>

// Eight bytes at a time; words are mostly short.
std::uint64_t HashBytes(std::string_view w) {
    std::uint64_t h = 0x9e3779b97f4a7c15ull ^ w.size();
    const char* p = w.data();
    std::size_t n = w.size();
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t v;
        std::memcpy(&v, p, 8);
        h = Mix(h ^ v);
    }
    std::uint64_t v = 0;
    if (n != 0)  // an empty view may have no address
        std::memcpy(&v, p, n);
    return Mix(h ^ v);
}

namespace {

unsigned CharWords(unsigned cap) {
    return (cap + 3) / 4;
}

}  // namespace

WordPool::WordPool() {
    runs_.push_back(0);  // run 0 stands for "no transitions"
    for (std::int32_t& to : root_)
        to = -1;
    states_.push_back(State{0, -1, -1, 0});
    known_.resize(1024);
}

std::size_t WordPool::MemoryBytes() const {
    return pool_.capacity() + states_.capacity() * sizeof(State) +
           runs_.capacity() * sizeof(std::uint32_t) + known_.capacity() * sizeof(Known) +
           sizeof(root_);
}

std::uint32_t WordPool::NewRun(unsigned capLog2) {
    const unsigned cap = 1u << capLog2;
    std::uint32_t run = freeRuns_[capLog2];
    if (run != 0) {
        freeRuns_[capLog2] = runs_[run + 1];
    } else {
        run = std::uint32_t(runs_.size());
        runs_.resize(runs_.size() + 1 + CharWords(cap) + cap);
    }
    runs_[run] = capLog2 << 16;
    return run;
}

void WordPool::FreeRun(std::uint32_t run) {
    const unsigned capLog2 = runs_[run] >> 16;
    runs_[run + 1] = freeRuns_[capLog2];
    freeRuns_[capLog2] = run;
}

std::int32_t* WordPool::FindEdge(std::int32_t state, std::uint8_t c) {
    if (state == 0)
        return root_[c] >= 0 ? &root_[c] : nullptr;
    const std::uint32_t run = states_[std::size_t(state)].run;
    if (run == 0)
        return nullptr;
    const std::uint32_t header = runs_[run];
    const unsigned count = header & 0xFFFF;
    const unsigned cap = 1u << (header >> 16);
    const auto* chars = reinterpret_cast<const std::uint8_t*>(&runs_[run + 1]);
    for (unsigned i = 0; i < count; ++i) {
        if (chars[i] == c)
            return reinterpret_cast<std::int32_t*>(&runs_[run + 1 + CharWords(cap) + i]);
    }
    return nullptr;
}

std::int32_t WordPool::Next(std::int32_t state, std::uint8_t c) const {
    const std::int32_t* edge = const_cast<WordPool*>(this)->FindEdge(state, c);
    return edge != nullptr ? *edge : -1;
}

// Adds a transition the state does not have; a full run moves to one of
// twice the size.
void WordPool::AddEdge(std::int32_t state, std::uint8_t c, std::int32_t to) {
    if (state == 0) {
        root_[c] = to;
        return;
    }
    std::uint32_t run = states_[std::size_t(state)].run;
    if (run == 0) {
        run = NewRun(0);
    } else if ((runs_[run] & 0xFFFF) == 1u << (runs_[run] >> 16)) {
        const unsigned capLog2 = runs_[run] >> 16;
        const unsigned count = 1u << capLog2;
        const std::uint32_t grown = NewRun(capLog2 + 1);
        std::memcpy(&runs_[grown + 1], &runs_[run + 1], count);
        std::memcpy(&runs_[grown + 1 + CharWords(count * 2)], &runs_[run + 1 + CharWords(count)],
                    count * sizeof(std::uint32_t));
        runs_[grown] |= count;
        FreeRun(run);
        run = grown;
    }
    states_[std::size_t(state)].run = run;
    const unsigned count = runs_[run] & 0xFFFF;
    const unsigned cap = 1u << (runs_[run] >> 16);
    reinterpret_cast<std::uint8_t*>(&runs_[run + 1])[count] = c;
    runs_[run + 1 + CharWords(cap) + count] = std::uint32_t(to);
    runs_[run] += 1;
}

// The standard online extension of a suffix automaton by the byte at
// `position`; a split state (clone) keeps the first occurrence of the state
// it was split from.
void WordPool::Extend(std::uint8_t c, std::int32_t position) {
    const std::int32_t cur = std::int32_t(states_.size());
    states_.push_back(State{states_[std::size_t(last_)].len + 1, 0, position, 0});
    std::int32_t p = last_;
    while (p >= 0 && FindEdge(p, c) == nullptr) {
        AddEdge(p, c, cur);
        p = states_[std::size_t(p)].link;
    }
    if (p >= 0) {
        const std::int32_t q = *FindEdge(p, c);
        const State from = states_[std::size_t(q)];
        if (states_[std::size_t(p)].len + 1 == from.len) {
            states_[std::size_t(cur)].link = q;
        } else {
            std::uint32_t copy = 0;
            if (from.run != 0) {
                const unsigned capLog2 = runs_[from.run] >> 16;
                copy = NewRun(capLog2);
                const unsigned words = 1 + CharWords(1u << capLog2) + (1u << capLog2);
                std::memcpy(&runs_[copy], &runs_[from.run], words * sizeof(std::uint32_t));
            }
            const std::int32_t clone = std::int32_t(states_.size());
            states_.push_back(
                State{states_[std::size_t(p)].len + 1, from.link, from.firstEnd, copy});
            for (; p >= 0; p = states_[std::size_t(p)].link) {
                std::int32_t* edge = FindEdge(p, c);
                if (edge == nullptr || *edge != q)
                    break;
                *edge = clone;
            }
            states_[std::size_t(q)].link = clone;
            states_[std::size_t(cur)].link = clone;
        }
    }
    last_ = cur;
}

bool WordPool::FindFirst(std::string_view word, std::uint32_t* offset) const {
    std::int32_t s = 0;
    for (char ch : word) {
        s = Next(s, std::uint8_t(ch));
        if (s < 0)
            return false;
    }
    *offset = std::uint32_t(states_[std::size_t(s)].firstEnd + 1 - std::int32_t(word.size()));
    return true;
}

const WordPool::Known* WordPool::FindKnown(std::string_view word, std::uint32_t hash) const {
    const std::size_t mask = known_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Known& k = known_[i];
        if (k.lengthPlusOne == 0)
            return nullptr;
        if (k.hash == hash && k.lengthPlusOne == word.size() + 1 &&
            std::memcmp(pool_.data() + k.offset, word.data(), word.size()) == 0) {
            return &k;
        }
    }
}

void WordPool::AddKnown(std::uint32_t offset, std::uint32_t length, std::uint32_t hash) {
    if ((knownUsed_ + 1) * 10 > known_.size() * 7) {
        std::vector<Known> old(known_.size() * 2);
        old.swap(known_);
        const std::size_t mask = known_.size() - 1;
        for (const Known& k : old) {
            if (k.lengthPlusOne == 0)
                continue;
            std::size_t i = k.hash & mask;
            while (known_[i].lengthPlusOne != 0)
                i = (i + 1) & mask;
            known_[i] = k;
        }
    }
    const std::size_t mask = known_.size() - 1;
    std::size_t i = hash & mask;
    while (known_[i].lengthPlusOne != 0)
        i = (i + 1) & mask;
    known_[i] = Known{hash, offset, length + 1};
    ++knownUsed_;
}

std::uint32_t WordPool::Place(std::string_view word) {
    // The empty word matches at position 0 of any pool, even an empty one.
    if (word.empty())
        return 0;
    const std::uint32_t hash = std::uint32_t(HashBytes(word));
    if (const Known* known = FindKnown(word, hash))
        return known->offset;

    const std::uint32_t length = std::uint32_t(word.size());
    std::uint32_t offset = 0;
    if (FindFirst(word, &offset)) {
        AddKnown(offset, length, hash);
        return offset;
    }
    offset = std::uint32_t(pool_.size());
    pool_.append(word);
    for (std::uint32_t k = 0; k < length; ++k)
        Extend(std::uint8_t(word[k]), std::int32_t(offset + k));
    // The appended copy need not be the first occurrence from now on: it may
    // begin inside the old pool's tail ("a" then "aa" makes "aaa"). Later
    // uses take the true first one.
    std::uint32_t first = offset;
    FindFirst(word, &first);
    AddKnown(first, length, hash);
    return offset;
}
