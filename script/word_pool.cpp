#include "script/word_pool.h"

namespace {

std::uint64_t Hash(std::uint64_t key) {
    key ^= key >> 33;
    key *= 0xff51afd7ed558ccdull;
    key ^= key >> 33;
    return key;
}

}  // namespace

WordPool::WordPool() : known_(64, KnownHash{&pool_}, KnownEqual{&pool_}) {
    keys_.assign(1024, 0);
    slots_.assign(1024, -1);
    NewState(0, -1, -1);
}

std::int32_t WordPool::NewState(std::int32_t len, std::int32_t link, std::int32_t firstEnd) {
    states_.push_back(State{len, link, firstEnd, -1});
    return std::int32_t(states_.size() - 1);
}

std::int32_t WordPool::Next(std::int32_t state, std::uint8_t c) const {
    const std::uint64_t key = ((std::uint64_t(state) << 8) | c) + 1;
    const std::size_t mask = keys_.size() - 1;
    for (std::size_t i = Hash(key) & mask;; i = (i + 1) & mask) {
        if (keys_[i] == key)
            return edges_[std::size_t(slots_[i])].to;
        if (keys_[i] == 0)
            return -1;
    }
}

void WordPool::GrowTable() {
    std::vector<std::uint64_t> oldKeys(keys_.size() * 2, 0);
    std::vector<std::int32_t> oldSlots(slots_.size() * 2, -1);
    oldKeys.swap(keys_);
    oldSlots.swap(slots_);
    const std::size_t mask = keys_.size() - 1;
    for (std::size_t k = 0; k < oldKeys.size(); ++k) {
        if (oldKeys[k] == 0)
            continue;
        std::size_t i = Hash(oldKeys[k]) & mask;
        while (keys_[i] != 0)
            i = (i + 1) & mask;
        keys_[i] = oldKeys[k];
        slots_[i] = oldSlots[k];
    }
}

void WordPool::SetNext(std::int32_t state, std::uint8_t c, std::int32_t to) {
    const std::uint64_t key = ((std::uint64_t(state) << 8) | c) + 1;
    std::size_t mask = keys_.size() - 1;
    std::size_t i = Hash(key) & mask;
    for (; keys_[i] != 0; i = (i + 1) & mask) {
        if (keys_[i] == key) {
            edges_[std::size_t(slots_[i])].to = to;
            return;
        }
    }
    edges_.push_back(Edge{to, states_[std::size_t(state)].edges, c});
    states_[std::size_t(state)].edges = std::int32_t(edges_.size() - 1);
    if ((used_ + 1) * 2 > keys_.size()) {
        GrowTable();
        mask = keys_.size() - 1;
        for (i = Hash(key) & mask; keys_[i] != 0; i = (i + 1) & mask) {
        }
    }
    keys_[i] = key;
    slots_[i] = std::int32_t(edges_.size() - 1);
    ++used_;
}

// Standard online suffix-automaton extension by one character.
void WordPool::Extend(std::uint8_t c) {
    const std::int32_t position = std::int32_t(pool_.size()) - 1;
    const std::int32_t cur = NewState(states_[std::size_t(last_)].len + 1, 0, position);
    std::int32_t p = last_;
    while (p >= 0 && Next(p, c) < 0) {
        SetNext(p, c, cur);
        p = states_[std::size_t(p)].link;
    }
    if (p >= 0) {
        const std::int32_t q = Next(p, c);
        if (states_[std::size_t(p)].len + 1 == states_[std::size_t(q)].len) {
            states_[std::size_t(cur)].link = q;
        } else {
            const State from = states_[std::size_t(q)];
            const std::int32_t clone =
                NewState(states_[std::size_t(p)].len + 1, from.link, from.firstEnd);
            for (std::int32_t e = from.edges; e >= 0; e = edges_[std::size_t(e)].next) {
                const Edge copy = edges_[std::size_t(e)];  // edges_ grows below
                SetNext(clone, copy.c, copy.to);
            }
            while (p >= 0 && Next(p, c) == q) {
                SetNext(p, c, clone);
                p = states_[std::size_t(p)].link;
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
    // The empty word matches at position 0 of any pool, even an empty one.
    *offset = word.empty()
                  ? 0
                  : std::uint32_t(states_[std::size_t(s)].firstEnd + 1 - std::int32_t(word.size()));
    return true;
}

std::uint32_t WordPool::Place(std::string_view word) {
    auto known = known_.find(word);
    if (known != known_.end())
        return std::uint32_t(*known >> 32);

    std::uint32_t offset = 0;
    if (FindFirst(word, &offset)) {
        known_.insert((std::uint64_t(offset) << 32) | word.size());
        return offset;
    }
    offset = std::uint32_t(pool_.size());
    for (char ch : word) {
        pool_.push_back(ch);
        Extend(std::uint8_t(ch));
    }
    // The appended copy need not be the first occurrence from now on: it may
    // begin inside the old pool's tail ("a" then "aa" makes "aaa"). Cache
    // the true first one for later uses.
    std::uint32_t first = offset;
    FindFirst(word, &first);
    known_.insert((std::uint64_t(first) << 32) | word.size());
    return offset;
}
