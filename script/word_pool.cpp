#include "script/word_pool.h"

WordPool::WordPool() {
    for (std::int32_t& t : rootNext_)
        t = -1;
    NewState(0, -1, -1);
}

std::int32_t WordPool::NewState(std::int32_t len, std::int32_t link, std::int32_t firstEnd) {
    states_.push_back(State{len, link, firstEnd, -1});
    return std::int32_t(states_.size() - 1);
}

std::int32_t WordPool::Next(std::int32_t state, std::uint8_t c) const {
    if (state == 0)
        return rootNext_[c];
    for (std::int32_t e = states_[state].edges; e >= 0; e = edges_[e].next) {
        if (edges_[e].c == c)
            return edges_[e].to;
    }
    return -1;
}

void WordPool::SetNext(std::int32_t state, std::uint8_t c, std::int32_t to) {
    if (state == 0)
        rootNext_[c] = to;
    for (std::int32_t e = states_[state].edges; e >= 0; e = edges_[e].next) {
        if (edges_[e].c == c) {
            edges_[e].to = to;
            return;
        }
    }
    edges_.push_back(Edge{to, states_[state].edges, c});
    states_[state].edges = std::int32_t(edges_.size() - 1);
}

// Standard online suffix-automaton extension by one character.
void WordPool::Extend(std::uint8_t c) {
    const std::int32_t position = std::int32_t(pool_.size()) - 1;
    const std::int32_t cur = NewState(states_[last_].len + 1, 0, position);
    std::int32_t p = last_;
    while (p >= 0 && Next(p, c) < 0) {
        SetNext(p, c, cur);
        p = states_[p].link;
    }
    if (p >= 0) {
        const std::int32_t q = Next(p, c);
        if (states_[p].len + 1 == states_[q].len) {
            states_[cur].link = q;
        } else {
            const std::int32_t clone =
                NewState(states_[p].len + 1, states_[q].link, states_[q].firstEnd);
            for (std::int32_t e = states_[q].edges; e >= 0; e = edges_[e].next) {
                const Edge copy = edges_[e];  // edges_ may grow below
                SetNext(clone, copy.c, copy.to);
            }
            while (p >= 0 && Next(p, c) == q) {
                SetNext(p, c, clone);
                p = states_[p].link;
            }
            states_[q].link = clone;
            states_[cur].link = clone;
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
    *offset = word.empty() ? 0 : std::uint32_t(states_[s].firstEnd + 1 - std::int32_t(word.size()));
    return true;
}

std::uint32_t WordPool::Place(std::string_view word) {
    std::uint32_t offset = 0;
    if (FindFirst(word, &offset))
        return offset;
    offset = std::uint32_t(pool_.size());
    for (char ch : word) {
        pool_.push_back(ch);
        Extend(std::uint8_t(ch));
    }
    return offset;
}
