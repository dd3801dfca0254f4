// Places the words of arbitrary bytes (split at '\n') in a string pool three
// ways: the streaming builder, its automaton fallback and the plain lowest
// position search. All three must agree on every offset and on the pool.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "script/pool_builder.h"

namespace {

std::uint32_t NaivePlace(std::string* pool, std::string_view word) {
    const std::size_t at = pool->find(word);
    if (at != std::string::npos)
        return std::uint32_t(at);
    *pool += word;
    return std::uint32_t(pool->size() - word.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 8192)
        return 0;
    std::vector<std::string_view> words;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (std::size_t start = 0; start <= size;) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = size;
        words.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    PoolBuilder streamed, fallback;
    fallback.SetWorkPerByte(0);
    for (std::string_view w : words) {
        streamed.Add(w);
        fallback.Add(w);
    }
    streamed.Build();
    fallback.Build();
    std::string naive;
    for (std::size_t k = 0; k < words.size(); ++k) {
        const std::uint32_t expected = NaivePlace(&naive, words[k]);
        if (streamed.Offset(k) != expected || fallback.Offset(k) != expected)
            std::abort();
    }
    if (streamed.Bytes() != naive || fallback.Bytes() != naive)
        std::abort();
    return 0;
}
