// The font list ("data\fonts.script") over arbitrary text: every entry's
// font is loaded (each ".bmp" name gets a small grid image), looked up by
// name and drawn with, then the list is released. Names longer than their
// fields, repeated names and missing fonts must all be harmless.
#include <string>

#include "fuzz/render_fuzz_common.h"
#include "render/font.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 16))
        return 0;
    Display& display = FuzzDisplay();
    static FuzzProvider provider;
    provider.data = data;
    provider.size = size;
    provider.name = "data\\fonts.script";
    if (provider.fallbackBmp.empty())
        provider.fallbackBmp = PatternBmp(64, 48);
    SetResourceProvider(&provider);

    LoadFontList();
    for (const FontListEntry& e : FontList()) {
        Font* font = FindFont(e.fontname.c_str());
        if (font) {
            font->TextWidth("Score\\n123");
            font->DrawText(display.BackPicture(), 10, 10, "Score\\n123", TEXT_CENTER_X);
        }
    }
    FindFont("");
    ReleaseFontList();

    SetResourceProvider(nullptr);
    GlobalFontCache().Clear();
    GlobalPictureCache().Clear();
    return 0;
}
