// Decodes arbitrary bytes as a BMP image from memory, fills a 16-bit surface
// from the file rows and from the kept copy, and draws it: no read may leave
// the bytes given.
#include "fuzz/render_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Display& display = FuzzDisplay();
    {
        Picture rows(data, size, PICTURE_SURFACE | PICTURE_TRANSPARENT);
        rows.Draw(display.BackPicture(), -3, 5);
        Picture kept(data, size, PICTURE_SURFACE | PICTURE_KEEPPIXELS);
        if (kept.Pixels() && kept.Width() <= 64 && kept.Height() <= 64) {
            kept.ReadBack();
            kept.Upload();
            kept.Grab(display.BackPicture(), 10, -2);
        }
    }
    BmpInfo info;
    if (DecodeBmpHeader(data, size, &info)) {
        std::size_t last = info.dataOffset + info.stride * std::size_t(info.height - 1) +
                           std::size_t(info.width) * 3;
        if (last > size)
            __builtin_trap();
    }
    return 0;
}
