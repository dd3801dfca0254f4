// Reads arbitrary bytes as a ".fnt" font (its picture is a fixed image) and
// draws every glyph: rectangles outside the picture must draw nothing.
#include "fuzz/render_fuzz_common.h"
#include "render/font.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Display& display = FuzzDisplay();
    static FuzzProvider provider;
    provider.data = data;
    provider.size = size;
    provider.name = "data\\fonts\\f.fnt";
    if (provider.fallbackBmp.empty())
        provider.fallbackBmp = PatternBmp(48, 32);
    SetResourceProvider(&provider);

    Font* font = CreateFont("data\\fonts\\f.fnt");
    if (font) {
        char text[257];
        for (int c = 0; c < 256; ++c)
            text[c] = char(c == 0 ? 'A' : c);
        text[256] = '\0';
        font->TextWidth(text);
        font->DrawText(display.BackPicture(), 5, 3, text, TEXT_CENTER_X | TEXT_CENTER_Y);
        font->DrawText(display.BackPicture(), -40, 60, "x\\ny\\nz", 0);
        delete font;
    }
    SetResourceProvider(nullptr);
    GlobalPictureCache().Clear();
    return 0;
}
