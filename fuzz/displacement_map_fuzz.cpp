// Builds a displacement map from arbitrary bytes read as an image and uses it:
// every offset must address a pixel of an image of the same size.
#include "fuzz/render_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzDisplay();
    static FuzzProvider provider;
    provider.data = data;
    provider.size = size;
    provider.name = "data\\glass.bmp";
    SetResourceProvider(&provider);
    DisplacementMap map;
    if (BuildDisplacementMap("data\\glass.bmp", &map) && map.width * map.height <= 128 * 128) {
        std::size_t bytes = std::size_t(map.width) * map.height * 4;
        for (std::uint32_t offset : map.offsets)
            if (offset >= bytes || offset % 4 != 0)
                __builtin_trap();
        Picture source(map.width, map.height, 0), target(map.width, map.height, 0);
        target.Remap(&source, map);
    }
    SetResourceProvider(nullptr);
    return 0;
}
