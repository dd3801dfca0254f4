#include "app/game_options.h"

#include <vector>

#include "platform/file_store.h"
#include "script/file_access.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"

namespace {

const SubBlockDef kBlocks[] = {{"options", 0}};

}  // namespace

void ParseOptionsText(const char* text, int size, GameOptions* options) {
    if (text == nullptr || size <= 0)
        return;
    const ZarnikScr scr(text, size);
    const ScriptBlock whole = WholeScript(scr);
    ForEachSubBlock(whole, kBlocks, [&](int, const ScriptBlock& sub, int) {
        std::int32_t seconds = -1;
        std::int32_t sharp = -2;
        ReadKeys(sub,
                 {KeyDef::Int("attract_seconds", &seconds), KeyDef::Int("sharpscale", &sharp)});
        if (seconds >= 0 && seconds <= GameOptions::kMaxAttractSeconds)
            options->attract_seconds = seconds;
        if (sharp >= -1 && sharp <= 1)
            options->sharpscale = sharp;
    });
}

bool ReadOptionsFile(const char* path, GameOptions* options) {
    std::vector<std::uint8_t> bytes;
    // A loose file only: the player's, never the archive's.
    if (!ReadLooseFile(path, &bytes))
        return false;
    // Options are a few lines; anything beyond is not read.
    constexpr std::size_t kMaxBytes = 1 << 16;
    if (bytes.size() > kMaxBytes)
        bytes.resize(kMaxBytes);
    ParseOptionsText(reinterpret_cast<const char*>(bytes.data()), int(bytes.size()), options);
    return true;
}

std::string OptionsText(const GameOptions& options) {
    return "// The game's options. attract_seconds: how long the menu waits untouched\r\n"
           "// before it plays recorded games behind it (data\\replays), 0 for never.\r\n"
           "// sharpscale: the picture scaled to the window in whole-pixel steps (1) or\r\n"
           "// smoothly (0); -1 leaves it to data\\config.script.\r\n"
           "options {\r\n"
           " attract_seconds = " +
           std::to_string(options.attract_seconds) +
           ";\r\n"
           " sharpscale = " +
           std::to_string(options.sharpscale) +
           ";\r\n"
           "};;\r\n";
}

bool WriteOptionsFile(const char* path, const GameOptions& options) {
    const std::string text = OptionsText(options);
    return platform::WriteFileAtomically(ResolveLoosePath(path), text.data(), text.size());
}
