// The generated data read back through the game's own readers, from the
// packed archive the build made.
#include <string>
#include <vector>

#include "audio/wave_parser.h"
#include "input/control_binding.h"
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

TEST_F(PackedData, EverySoundParsesInItsOwnFormat) {
    struct Expected {
        const char* name;
        unsigned rate, bits, channels;
    };
    const Expected waves[] = {{"bumper", 22050, 16, 1},   {"slingshot", 11025, 8, 1},
                              {"flipper", 22050, 16, 2},  {"launch", 22050, 8, 2},
                              {"lamp", 44100, 16, 1},     {"drain", 22050, 16, 1},
                              {"multiball", 44100, 16, 2}};
    for (const Expected& w : waves) {
        std::vector<std::uint8_t> bytes;
        const std::string path = std::string("data\\sounds\\") + w.name + ".wav";
        ASSERT_TRUE(ReadDataFile(path.c_str(), &bytes)) << path;
        DataCount sink;
        const WaveFormat f = ParseWave(bytes.data(), bytes.size(), &sink);
        EXPECT_EQ(f.samplesPerSec, w.rate) << w.name;
        EXPECT_EQ(f.bitsPerSample, w.bits) << w.name;
        EXPECT_EQ(f.channels, w.channels) << w.name;
        EXPECT_EQ(sink.chunks, 1) << w.name;
        // Between a tenth of a second and two seconds of sound.
        EXPECT_GT(sink.bytes, f.avgBytesPerSec / 10) << w.name;
        EXPECT_LT(sink.bytes, f.avgBytesPerSec * 2) << w.name;
        EXPECT_EQ(sink.bytes % f.blockAlign, 0u) << w.name;
    }
}

TEST_F(PackedData, FontListNamesTheTableFontsAndTheSystemFontMeasures) {
    Display display;
    display.bpp = 32;
    ASSERT_TRUE(display.Initialise(nullptr));
    ASSERT_TRUE(LoadFontList());
    for (const char* name : {"msgfnt", "bigfnt", "scorefnt", "smallfnt"}) {
        const Font* font = FindFont(name);
        ASSERT_NE(font, nullptr) << name;
        EXPECT_GT(font->Height(), 10) << name;
    }
    // Grid fonts: every glyph is one cell wide.
    EXPECT_EQ(FindFont("msgfnt")->TextWidth("Ball 01 from 03"), 15 * 12);
    Font* system = FontCacheGet("data\\fonts\\default.bmp");
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->Height(), 16);
    EXPECT_EQ(system->TextWidth("\xB9 3"), 3 * 10);
    GlobalFontCache().Release(system);
    ReleaseFontList();
}

TEST_F(PackedData, InputScriptBindsTheFiveGameControlsToKeyboardKeys) {
    InputManager input;
    ASSERT_TRUE(input.LoadBindings(InputManager::kInputScript));
    const char* names[] = {"LEFTHANDLE", "RIGHTHANDLE", "SPRING", "EXIT", "TILT"};
    const char* keys[] = {"LSHIFT", "RSHIFT", "SPACE", "ESCAPE", "T"};
    ASSERT_EQ(input.bindings.Count, 5);
    for (int i = 0; i < 5; ++i) {
        const ControlBinding& b = input.bindings[input.FindControl(names[i])];
        EXPECT_EQ(b.name.view(), std::string_view(names[i]));
        EXPECT_EQ(b.device, DEVICE_KEYBOARD);
        EXPECT_EQ(b.devicecode, KeyNameToCode(keys[i])) << names[i];
    }
}

}  // namespace
