// The generated data read back through the game's own readers, from the
// packed archive the build made.
#include <string>
#include <vector>

#include "audio/wave_parser.h"
#include "render/display.h"
#include "render/font.h"
#include "script/file_access.h"
#include "tests/assets/packed_data.h"

namespace {

struct DataCount : WaveDataSink {
    void OnData(const WaveFormat&, const std::uint8_t*, std::uint32_t size) override {
        ++chunks;
        bytes += size;
    }
    int chunks = 0;
    std::uint32_t bytes = 0;
};

// Each a whole sound in one chunk, whatever rate, width and channels the
// generator chose for it.
TEST_F(PackedData, EverySoundParsesAsOneChunkOfATenthOfASecondToTwoSeconds) {
    for (const char* name :
         {"bumper", "slingshot", "flipper", "launch", "lamp", "drain", "multiball"}) {
        std::vector<std::uint8_t> bytes;
        const std::string path = std::string("data\\sounds\\") + name + ".wav";
        ASSERT_TRUE(ReadDataFile(path.c_str(), &bytes)) << path;
        DataCount sink;
        const WaveFormat f = ParseWave(bytes.data(), bytes.size(), &sink);
        EXPECT_EQ(sink.chunks, 1) << name;
        EXPECT_GT(sink.bytes, f.avgBytesPerSec / 10) << name;
        EXPECT_LT(sink.bytes, f.avgBytesPerSec * 2) << name;
        EXPECT_EQ(sink.bytes % f.blockAlign, 0u) << name;
    }
}

// A name missing from the list leaves its texts silently blank.
TEST_F(PackedData, FontListNamesTheTableFontsAndTheSystemFontLoads) {
    Display display;
    display.bpp = 32;
    ASSERT_TRUE(display.Initialise(nullptr));
    ASSERT_TRUE(LoadFontList());
    for (const char* name : {"msgfnt", "bigfnt", "scorefnt", "smallfnt"}) {
        const Font* font = FindFont(name);
        ASSERT_NE(font, nullptr) << name;
        EXPECT_GT(font->Height(), 10) << name;
    }
    Font* system = FontCacheGet("data\\fonts\\default.bmp");
    ASSERT_NE(system, nullptr);
    EXPECT_GT(system->Height(), 10);
    GlobalFontCache().Release(system);
    ReleaseFontList();
}

}  // namespace
