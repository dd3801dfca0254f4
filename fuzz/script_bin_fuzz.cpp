// Reads arbitrary bytes as a compiled script and walks every token.
#include <cstddef>
#include <cstdint>

#include "script/script_block.h"
#include "script/zarnik_script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ZarnikScr scr("", 0);
    if (!scr.LoadCompiledImage(data, size))
        return 0;
    std::size_t sum = 0;
    for (int i = 0; i < scr.TokenCount(); ++i) {
        sum += TokText(scr, i).size();
        sum += std::size_t(TokInt(scr, i)) + std::size_t(TokChar(scr, i));
    }
    ScriptBlock whole = WholeScript(scr);
    ForEachStatement(whole, [&](int i) {
        if (whole.IsPunct(i + 1, '{'))
            sum += std::size_t(SubBlock(whole, i + 1).count);
    });
    return sum == 1 ? 1 : 0;
}
