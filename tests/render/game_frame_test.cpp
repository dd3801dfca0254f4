// Whole frames of the shipped game (the menu, then play on each table with
// the plunger, the flippers and extra balls) drawn at 16 and 32 bits, pinned
// by checksums of the frames the first version of the drawing code made (SDL's
// own blits and a conversion pixel by pixel). Faster drawing must not change
// one pixel. When the game data or the drawing changes on purpose, copy in
// the checksums the failure shows.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/game_app.h"
#include "platform/keyboard.h"
#include "render/display.h"
#include "table/table_object.h"
#include "tests/test_files.h"

namespace {

std::uint32_t fakeNow = 0;
std::uint32_t FakeClock() {
    return fakeNow += 10;
}

// FNV-1a over the pixel bytes of every row (not the row padding).
std::uint64_t BackSurfaceHash(Display& display) {
    platform::PixelLock lock;
    if (!display.BackSurface()->Lock(&lock))
        return 0;
    std::uint64_t h = 1469598103934665603ull;
    const int rowBytes = lock.width * (lock.format.bits / 8);
    for (int y = 0; y < lock.height; ++y) {
        const std::uint8_t* row = lock.pixels + std::size_t(y) * lock.pitch;
        for (int x = 0; x < rowBytes; ++x)
            h = (h ^ row[x]) * 1099511628211ull;
    }
    display.BackSurface()->Unlock();
    return h;
}

constexpr int kTables = 3;
constexpr int kShotFrames[] = {40, 200, 400, 600};
constexpr int kShots = 1 + int(std::size(kShotFrames));  // the menu first
constexpr int kSpace = 57, kLeftShift = 42, kRightShift = 54;

// Checksums of the menu's first frame and of the frames above, per depth
// and table.
constexpr std::uint64_t kExpected[2][kTables][kShots] = {
    // 16 bits
    {{0x41d34c7279193657ull, 0x9cfcbc0d1748fb11ull, 0xa9a92568552e5816ull, 0xd47bd8a9c19ee6c4ull,
      0x5adbca25ab21638eull},
     {0x41d34c7279193657ull, 0x5b3682d7b030524eull, 0x55d1a86740d9413full, 0xfb4c78589a18c5d7ull,
      0xfccbce51c6f458beull},
     {0x41d34c7279193657ull, 0x3439d13d9981c81dull, 0x8c13dddc42b29f56ull, 0x32b6b276d23c77b0ull,
      0x2a95acb2cc5a550eull}},
    // 32 bits
    {{0x0e739ba0437db3bdull, 0xce3a511c9a57e1a1ull, 0x7a491955bbe0b191ull, 0x0997cc8a1c4b26d9ull,
      0xfa80cb9f5a639d1eull},
     {0x0e739ba0437db3bdull, 0xfa1ddc0aacd1fe00ull, 0x3a3c006049ffba67ull, 0xfd53de4bb45ba3b4ull,
      0x9d16b342bbedeb56ull},
     {0x0e739ba0437db3bdull, 0xb97d63a9739bc82aull, 0xd6aad189ae970b51ull, 0x09c6b124fba2fc25ull,
      0xdbf879a50256d0aeull}}};

class GameFrames : public ::testing::Test {
protected:
    void SetUp() override {
        home = std::filesystem::current_path();
        std::filesystem::create_directories(dir.File("data"));
        std::filesystem::create_symlink(std::string(ZARNIK_BINARY_DIR) + "/data.pak",
                                        dir.File("data.pak"));
        std::filesystem::current_path(dir.Path());
    }
    void TearDown() override { std::filesystem::current_path(home); }

    // The menu, then `table` played for the last shot's frames.
    std::vector<std::uint64_t> Play(int bits, int table) {
        std::vector<std::uint64_t> shots;
        fakeNow = 0;
        GameApp app;
        platform::ManualKeyboard keys;
        app.keyboard = &keys;
        app.clock = &FakeClock;
        EXPECT_TRUE(app.Initialise());
        // Full screen picks the depth: 32 bits with true colour, else 16.
        app.display.fullscreen = true;
        app.display.truecolor = bits == 32;
        EXPECT_TRUE(app.display.ReCreate());
        EXPECT_EQ(app.display.Format().bits, bits);
        app.PublishPreferences();
        EXPECT_TRUE(app.Frame());
        shots.push_back(BackSurfaceHash(app.display));

        app.tables.current = table;
        app.nextGameSeed = 7;  // the table's random numbers, from its load on
        app.LeaveMenu();
        EXPECT_TRUE(app.Frame());
        app.table.ball_count = 1000000;
        TableObject* generator = nullptr;
        for (int i = 0; i < app.table.ElementCount(); ++i)
            if (app.table.Element(i)->type == ELEMENT_BALL_GENERATOR)
                generator = app.table.Element(i);
        for (int frame = 1; frame <= kShotFrames[std::size(kShotFrames) - 1]; ++frame) {
            keys.Set(kSpace, frame % 120 < 60);
            keys.Set(kLeftShift, frame % 37 < 8);
            keys.Set(kRightShift, (frame + 15) % 41 < 8);
            if (generator && frame % 100 == 0)
                generator->Activate();
            EXPECT_TRUE(app.Frame());
            for (int at : kShotFrames)
                if (frame == at)
                    shots.push_back(BackSurfaceHash(app.display));
        }
        EXPECT_TRUE(app.Shutdown());
        return shots;
    }

    ScratchDir dir{"game_frames"};
    std::filesystem::path home;
};

TEST_F(GameFrames, EveryTableAt16And32BitsDrawsThePinnedPictures) {
    for (int bits : {16, 32}) {
        for (int table = 0; table < kTables; ++table) {
            const std::uint64_t(&pinned)[kShots] = kExpected[bits / 32][table];
            EXPECT_EQ(Play(bits, table), std::vector<std::uint64_t>(pinned, pinned + kShots))
                << bits << " bits, table " << table << ": the menu, then frames 40 200 400 600";
        }
    }
}

}  // namespace
