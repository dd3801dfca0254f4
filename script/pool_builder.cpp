#include "script/pool_builder.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <utility>

#include "script/word_pool.h"

namespace {

// Long keys are filtered apart from short ones.
constexpr std::uint64_t kLongSeed = 0x6a09e667f3bcc909ull;

// The filter's hash: multiplicative, the top bits are used.
std::uint64_t FilterHash(std::uint64_t key) {
    return (key ^ (key >> 29)) * 0x9e3779b97f4a7c15ull;
}

// The n (<= 8) bytes that end at `end`, as the pool's recent bytes hold them.
std::uint64_t Pack(const char* end, unsigned n) {
    std::uint64_t k = 0;
    for (unsigned i = n; i > 0; --i)
        k = (k << 8) | std::uint8_t(end[-int(i)]);
    return k;
}

std::uint64_t ShortKey(std::uint64_t bytes, unsigned length) {
    return bytes | (std::uint64_t(length) << 56);
}

std::uint64_t LowBytes(unsigned n) {
    return (std::uint64_t(1) << (8 * n)) - 1;  // n < 8
}

std::size_t TableSize(std::size_t entries) {
    std::size_t n = 16;
    while (n < entries * 2)
        n *= 2;
    return n;
}

// Equal bytes? Eight at a time, each step counted as work.
bool SameBytes(const char* a, const char* b, std::size_t n, std::uint64_t* work) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        ++*work;
        if (x != y)
            return false;
    }
    return std::memcmp(a + i, b + i, n - i) == 0;
}

}  // namespace

std::uint32_t PoolBuilder::Intern(std::string_view word) {
    if ((words_.size() + 1) * 2 > intern_.size()) {
        LargeVector<std::uint64_t> old(std::max<std::size_t>(intern_.size() * 2, 1024), 0);
        old.swap(intern_);
        const std::size_t mask = intern_.size() - 1;
        for (std::uint64_t slot : old) {
            if (slot == 0)
                continue;
            std::size_t i = Mix(slot >> 32) & mask;
            while (intern_[i] != 0)
                i = (i + 1) & mask;
            intern_[i] = slot;
        }
    }
    const std::uint64_t hash = HashBytes(word) >> 32;
    const std::size_t mask = intern_.size() - 1;
    std::size_t i = Mix(hash) & mask;
    for (; intern_[i] != 0; i = (i + 1) & mask) {
        if ((intern_[i] >> 32) != hash)
            continue;
        const Word& w = words_[std::size_t(intern_[i] & 0xFFFFFFFFu) - 1];
        if (w.length == word.size() &&
            (word.empty() || std::memcmp(w.bytes, word.data(), word.size()) == 0))
            return std::uint32_t((intern_[i] & 0xFFFFFFFFu) - 1);
    }
    const std::uint32_t index = std::uint32_t(words_.size());
    // The empty word is at 0 of any pool, even an empty one.
    words_.push_back(
        Word{word.data(), std::uint32_t(word.size()), word.empty() ? 0 : kUnseen, false});
    intern_[i] = (hash << 32) | (index + 1);
    distinctBytes_ += word.size();
    return index;
}

void PoolBuilder::Add(std::string_view word) {
    uses_.push_back(Intern(word));
}

void PoolBuilder::BuildTables() {
    std::size_t shortCount = 0;
    std::vector<std::pair<std::uint64_t, std::uint32_t>> longs;
    for (const Word& w : words_) {
        if (w.length >= 1 && w.length <= kShortMax)
            ++shortCount;
        else if (w.length > kShortMax)
            longs.emplace_back(Pack(w.bytes + w.length, 8), std::uint32_t(&w - words_.data()));
    }

    shorts_.assign(TableSize(shortCount), ShortSlot{0, 0, false});
    const std::size_t shortMask = shorts_.size() - 1;
    for (std::uint32_t index = 0; index < words_.size(); ++index) {
        const Word& w = words_[index];
        if (w.length < 1 || w.length > kShortMax)
            continue;
        const std::uint64_t key = ShortKey(Pack(w.bytes + w.length, w.length), w.length);
        std::size_t i = Mix(key) & shortMask;
        while (shorts_[i].key != 0)  // distinct words, distinct keys
            i = (i + 1) & shortMask;
        shorts_[i] = ShortSlot{key, index, false};
        ++shortLeft_[w.length];
    }
    for (unsigned length = 1; length <= kShortMax; ++length) {
        if (shortLeft_[length] != 0)
            shortLengths_.push_back(length);
    }

    std::sort(longs.begin(), longs.end());
    candidates_.resize(longs.size());
    std::size_t groupCount = 0;
    for (std::size_t k = 0; k < longs.size(); ++k) {
        candidates_[k] = longs[k].second;
        groupCount += (k == 0 || longs[k].first != longs[k - 1].first) ? 1 : 0;
    }
    groups_.assign(TableSize(groupCount), Group{0, kUnseen, 0});
    const std::size_t groupMask = groups_.size() - 1;
    for (std::size_t k = 0; k < longs.size();) {
        std::size_t stop = k + 1;
        while (stop < longs.size() && longs[stop].first == longs[k].first)
            ++stop;
        std::size_t i = Mix(longs[k].first) & groupMask;
        while (groups_[i].start != kUnseen)
            i = (i + 1) & groupMask;
        groups_[i] = Group{longs[k].first, std::uint32_t(k), std::uint32_t(stop - k)};
        k = stop;
    }
    groupsLeft_ = groupCount;
    RebuildFilter();
}

void PoolBuilder::RebuildFilter() {
    std::size_t live = groupsLeft_;
    for (std::uint32_t left : shortLeft_)
        live += left;
    unsigned bitsLog2 = 12;
    while ((std::size_t(1) << bitsLog2) < live * 16)
        ++bitsLog2;
    filter_.assign((std::size_t(1) << bitsLog2) / 64, 0);
    filterShift_ = 64 - bitsLog2;
    auto set = [this](std::uint64_t key) {
        const std::uint64_t bit = FilterHash(key) >> filterShift_;
        filter_[bit >> 6] |= std::uint64_t(1) << (bit & 63);
    };
    for (const ShortSlot& slot : shorts_) {
        if (slot.key != 0 && !slot.met)
            set(slot.key);
    }
    for (const Group& g : groups_) {
        if (g.start != kUnseen && g.count != 0)
            set(g.key ^ kLongSeed);
    }
    filterLive_ = live;
    staleSinceFilter_ = 0;
    staleHits_ = 0;
}

// Looks at the pool byte at `end`: which unmet words end there?
void PoolBuilder::Scan(std::uint32_t end) {
    recent_ = (recent_ << 8) | std::uint8_t(pool_[end]);
    const std::uint64_t have = std::uint64_t(end) + 1;
    auto filtered = [this](std::uint64_t key) {
        const std::uint64_t bit = FilterHash(key) >> filterShift_;
        return (filter_[bit >> 6] >> (bit & 63)) & 1;
    };
    bool lengthsDone = false;
    for (unsigned length : shortLengths_) {
        if (length > have)
            break;
        const std::uint64_t key = ShortKey(recent_ & LowBytes(length), length);
        if (!filtered(key))
            continue;
        const std::size_t mask = shorts_.size() - 1;
        std::size_t i = Mix(key) & mask;
        while (shorts_[i].key != 0 && shorts_[i].key != key)
            i = (i + 1) & mask;
        ShortSlot& slot = shorts_[i];
        if (slot.key == 0)
            continue;
        if (slot.met) {
            ++staleHits_;
            continue;
        }
        slot.met = true;
        words_[slot.word].first = std::uint32_t(have - length);
        ++staleSinceFilter_;
        lengthsDone = lengthsDone || --shortLeft_[length] == 0;
    }
    if (lengthsDone) {
        shortLengths_.clear();
        for (unsigned length = 1; length <= kShortMax; ++length) {
            if (shortLeft_[length] != 0)
                shortLengths_.push_back(length);
        }
    }
    if (have >= 8 && groupsLeft_ != 0 && filtered(recent_ ^ kLongSeed))
        ScanLong(end);
    if (staleSinceFilter_ * 2 > filterLive_ ||
        (staleSinceFilter_ != 0 && staleHits_ * 64 > shorts_.size() + groups_.size()))
        RebuildFilter();
}

// The long words that end in the 8 bytes at `end`: compare the rest.
void PoolBuilder::ScanLong(std::uint32_t end) {
    const std::size_t mask = groups_.size() - 1;
    std::size_t i = Mix(recent_) & mask;
    while (groups_[i].start != kUnseen && groups_[i].key != recent_)
        i = (i + 1) & mask;
    Group& g = groups_[i];
    if (g.start == kUnseen)
        return;
    if (g.count == 0) {
        ++staleHits_;
        return;
    }
    const std::uint64_t have = std::uint64_t(end) + 1;
    std::uint32_t stop = g.start + g.count;
    for (std::uint32_t k = g.start; k < stop;) {
        Word& w = words_[candidates_[k]];
        ++work_;
        if (w.length <= have &&
            SameBytes(pool_.data() + (have - w.length), w.bytes, w.length - 8, &work_)) {
            w.first = std::uint32_t(have - w.length);
            candidates_[k] = candidates_[--stop];  // met: out of the group
            ++staleSinceFilter_;
            continue;
        }
        ++k;
    }
    g.count = stop - g.start;
    if (g.count == 0)
        --groupsLeft_;
}

bool PoolBuilder::Append(const Word& word) {
    for (std::uint32_t k = 0; k < word.length; ++k) {
        pool_.push_back(word.bytes[k]);
        Scan(std::uint32_t(pool_.size() - 1));
        if (work_ >= workLimit_)
            return false;
    }
    assert(word.first != kUnseen);  // it ends where it was appended, if not before
    return true;
}

void PoolBuilder::Build() {
    LargeVector<std::uint64_t>().swap(intern_);
    offsets_.assign(uses_.size(), 0);
    workLimit_ = workPerByte_ * (distinctBytes_ + 64);
    BuildTables();
    pool_.reserve(distinctBytes_);
    for (std::size_t k = 0; k < uses_.size(); ++k) {
        Word& w = words_[uses_[k]];
        if (!w.placed) {
            w.placed = true;
            if (w.first == kUnseen) {
                offsets_[k] = std::uint32_t(pool_.size());
                if (!Append(w))
                    return Fallback();
                continue;
            }
        }
        offsets_[k] = w.first;
    }
}

void PoolBuilder::Fallback() {
    fellBack_ = true;
    WordPool pool;
    for (std::size_t k = 0; k < uses_.size(); ++k) {
        const Word& w = words_[uses_[k]];
        offsets_[k] = pool.Place(std::string_view(w.bytes, w.length));
    }
    pool_ = pool.Bytes();
}
