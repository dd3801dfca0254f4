// The game's configuration and settings over arbitrary bytes: the first half
// is read as "data\config.script" and "data\options.script", the last 16
// bytes as "data\settings".
// Every value the program takes from them must stay within its bounds.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/app_config.h"
#include "app/game_options.h"
#include "app/table_list.h"
#include "script/message.h"

namespace {
void Quiet(const char*) {}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SetMessageDisplay(Quiet);
    SavedSettings s;
    DecodeSettings(data, size < 16 ? size : 16, &s);
    if (!(s.audioVolume >= 0.0f && s.audioVolume <= 1.0f) ||
        !(s.cdVolume >= 0.0f && s.cdVolume <= 1.0f) || (s.fullscreen != 0 && s.fullscreen != 1))
        std::abort();

    const std::string text(reinterpret_cast<const char*>(data), size);
    AppConfig config;
    config.ReadText(text.c_str());
    VideoSettings video;
    ReadVideoKeys(config.Section(SECTION_VIDEO), &video);
    if (video.width < 1 || video.height < 1 || video.width > kMaxScreenSide ||
        video.height > kMaxScreenSide)
        std::abort();
    StartupSettings startup;
    ReadStartupKeys(config.Section(SECTION_STARTUP), &startup);
    TableList tables;
    tables.Read(config.Section(SECTION_TABLES));
    if (tables.Count() < 0 || tables.Count() > TableList::kMaxTables)
        std::abort();
    for (int i = 0; i < tables.Count(); ++i) {
        if (tables.SelectorFrames(true) < 0)
            std::abort();
        tables.Step(i & 1);
        if (tables.current < 0 || tables.current >= tables.Count())
            std::abort();
    }
    GameOptions options;
    ParseOptionsText(text.c_str(), int(text.size()), &options);
    if (options.attract_seconds < 0 || options.attract_seconds > GameOptions::kMaxAttractSeconds)
        std::abort();
    if (options.sharpscale < -1 || options.sharpscale > 1)
        std::abort();
    return 0;
}
