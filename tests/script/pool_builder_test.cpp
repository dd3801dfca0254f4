#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "script/pool_builder.h"

namespace {

// The lowest-position search, written the slow way.
std::uint32_t NaivePlace(std::string* pool, const std::string& word) {
    for (std::size_t j = 0; j + word.size() <= pool->size(); ++j) {
        if (pool->compare(j, word.size(), word) == 0)
            return std::uint32_t(j);
    }
    const std::uint32_t offset = std::uint32_t(pool->size());
    *pool += word;
    return offset;
}

struct Placed {
    std::string pool;
    std::vector<std::uint32_t> offsets;
    bool fellBack = false;
};

Placed Build(const std::vector<std::string>& words, std::uint64_t workPerByte = 64) {
    PoolBuilder builder;
    builder.SetWorkPerByte(workPerByte);
    for (const std::string& w : words)
        builder.Add(w);
    builder.Build();
    Placed placed{builder.Bytes(), {}, builder.FellBack()};
    for (std::size_t k = 0; k < words.size(); ++k)
        placed.offsets.push_back(builder.Offset(k));
    return placed;
}

void ExpectNaive(const std::vector<std::string>& words, const Placed& placed) {
    std::string pool;
    for (std::size_t k = 0; k < words.size(); ++k)
        ASSERT_EQ(placed.offsets[k], NaivePlace(&pool, words[k])) << "word " << k;
    EXPECT_EQ(placed.pool, pool);
}

// Short and long words over a small alphabet (or all 256 bytes), a third of
// them repeats of earlier ones.
std::vector<std::string> RandomWords(std::mt19937* rng, int count, unsigned alphabet,
                                     unsigned maxLength) {
    std::vector<std::string> words;
    for (int i = 0; i < count; ++i) {
        if (!words.empty() && (*rng)() % 3 == 0) {
            words.push_back(words[(*rng)() % words.size()]);
            continue;
        }
        std::string w((*rng)() % (maxLength + 1), '\0');
        for (char& c : w)
            c = char(alphabet >= 256 ? (*rng)() % 256 : 'a' + (*rng)() % alphabet);
        words.push_back(w);
    }
    return words;
}

}  // namespace

TEST(PoolBuilder, AgreesWithTheLowestPositionSearchOnRandomWords) {
    std::mt19937 rng(11);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        const unsigned alphabet = round % 5 == 4 ? 256 : 2 + round % 4;
        const unsigned maxLength = round % 3 == 0 ? 40 : 12;
        const std::vector<std::string> words = RandomWords(&rng, 300, alphabet, maxLength);
        const Placed streamed = Build(words);
        EXPECT_FALSE(streamed.fellBack);
        ExpectNaive(words, streamed);
        // The automaton the builder falls back on gives the same.
        const Placed fallback = Build(words, 0);
        EXPECT_TRUE(fallback.fellBack);
        ExpectNaive(words, fallback);
    }
}

TEST(PoolBuilder, PathologicalLongWordsFallBackAndStayExact) {
    // A thousand long words end in the same 8 bytes, which fill the pool:
    // every pool byte would compare them all. The builder gives up on that
    // and takes the automaton, with the same offsets.
    std::vector<std::string> words{std::string(20000, 'a')};
    for (int i = 0; i < 1000; ++i) {
        std::string w = "b";
        for (int n = i; n != 0; n /= 25)
            w += char('b' + n % 25);
        words.push_back(w + "aaaaaaaa");
    }
    words.push_back("ba");
    const Placed placed = Build(words);
    EXPECT_TRUE(placed.fellBack);
    ExpectNaive(words, placed);
}
