// Key-table reads and sub-block dispatch over arbitrary tokens: destinations
// must never be overrun, whatever the words' lengths.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "script/fixed_string.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"

namespace {

struct Fields {
    float atX = 0, atY = 0;
    std::int32_t type = 0;
    FixedString<8> name;
    FixedString<32> menu;
};

void ReadFields(const ScriptBlock& block, Fields* f, int depth) {
    ReadKeys(block, {KeyDef::Real("atX", &f->atX), KeyDef::Real("atY", &f->atY),
                     KeyDef::Int("type", &f->type), KeyDef::Word("name", &f->name),
                     KeyDef::Word("type", &f->menu), KeyDef::Word("menu", &f->menu)});
    if (f->name.size() >= 8 || f->menu.size() >= 32)
        std::abort();
    if (depth > 8)
        return;
    static const SubBlockDef kBlocks[] = {{"Line", 1}, {"To", 2}, {"a", 3}, {nullptr, 0}};
    ForEachSubBlock(block, kBlocks,
                    [&](int, const ScriptBlock& sub, int) { ReadFields(sub, f, depth + 1); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > (1u << 16))
        return 0;
    ZarnikScr scr(reinterpret_cast<const char*>(data), int(size));
    Fields f;
    ReadFields(WholeScript(scr), &f, 0);
    return 0;
}
