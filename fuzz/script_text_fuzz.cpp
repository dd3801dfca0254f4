// Tokenizes arbitrary bytes and writes the compiled form: neither may read
// outside the text, and every word token must address text inside it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "script/script_block.h"
#include "script/zarnik_script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > (1u << 20))
        return 0;
    ZarnikScr scr(reinterpret_cast<const char*>(data), int(size));
    for (int i = 0; i < scr.TokenCount(); ++i) {
        const ZarnikTokDef& t = scr.Token(i);
        if (t.length < 0 || std::size_t(t.offset) + std::size_t(t.length) > size)
            std::abort();
        (void)TokText(scr, i);
    }
    std::string image;
    if (scr.BuildCompiled(&image)) {
        ZarnikScr back("", 0);
        if (!back.LoadCompiledImage(reinterpret_cast<const std::uint8_t*>(image.data()),
                                    image.size()))
            std::abort();
        if (back.TokenCount() != scr.TokenCount())
            std::abort();
        for (int i = 0; i < scr.TokenCount(); ++i) {
            if (TokText(scr, i) != TokText(back, i) && scr.Token(i).type == TOK_WORD)
                std::abort();
        }
    }
    return 0;
}
