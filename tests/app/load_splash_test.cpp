#include <gtest/gtest.h>

#include "app/app_config.h"
#include "app/load_splash.h"
#include "tests/render/render_fixture.h"
#include "tests/test_files.h"

namespace {

using LoadSplashTest = DisplayTest;
constexpr std::uint32_t kColours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};

// Four loose frames, each a 10 x 10 square of its own colour, shown at
// (50, 20) for 0.1 s each.
StartupSettings FourFrames(const ScratchDir& dir) {
    for (int i = 0; i < 4; ++i)
        WriteFile(dir.File("s000" + std::to_string(i) + ".bmp"), SolidBmp(10, 10, kColours[i]));
    StartupSettings s;
    s.splashstart = (dir.Path() + "\\s").c_str();
    s.splashend = ".bmp";
    s.splashcount = 4;
    s.splashtime = 0.1f;
    s.splash_x = 50;
    s.splash_y = 20;
    return s;
}

TEST_F(LoadSplashTest, AdvancesByEachStatementsTimeAndPresentsOnlyWhenItsFrameChanges) {
    ScratchDir dir("splash");
    LoadSplash splash;
    ASSERT_TRUE(splash.Create(FourFrames(dir), display.get()));
    splash.LoadStarted();
    ExpectPixels(Back(), {{55, 25, kColours[0]}, {49, 25, 0}});
    EXPECT_EQ(splash.Presents(), 1);
    // Seconds the statement took; the frame then shown and the presents so far.
    const std::tuple<float, int, int> steps[] = {{0.03f, 0, 1}, {0.03f, 0, 1}, {0.03f, 0, 1},
                                                 {0.02f, 1, 2}, {0.25f, 3, 3}, {0.05f, 0, 4},
                                                 {0.15f, 1, 5}};
    for (const auto& [seconds, frame, presents] : steps) {
        splash.StatementRead(seconds);
        EXPECT_EQ(std::make_pair(splash.Frame(), splash.Presents()),
                  std::make_pair(frame, presents));
        EXPECT_EQ(PixelAt(Back(), 55, 25), kColours[frame]);
    }
    splash.LoadFinished();
    splash.StatementRead(1.0f);
    EXPECT_EQ(splash.Frame(), 1) << "stopped";
    splash.LoadStarted();
    EXPECT_EQ(splash.Frame(), 0) << "the next load starts from the first frame";
}

TEST_F(LoadSplashTest, NoFramesNoSplashAndACountBeyondTheFilesTakesThoseThatExist) {
    ScratchDir dir("splash");
    LoadSplash splash;
    StartupSettings s = FourFrames(dir);
    s.splashcount = 0;
    EXPECT_FALSE(splash.Create(s, display.get()));
    s = FourFrames(dir);
    s.splashstart = "none";
    EXPECT_FALSE(splash.Create(s, display.get()) || splash.Exists());
    // Two billion frames named, four on disk: no message per missing frame.
    s = FourFrames(dir);
    s.splashcount = 2000000000;
    s.splashtime = 0.0f;  // would never move: the default is taken
    EXPECT_EQ(LogAddedBy([&] { EXPECT_TRUE(splash.Create(s, display.get())); }), "");
    splash.LoadStarted();
    splash.StatementRead(0.0625f * 5);
    EXPECT_EQ(splash.Frame(), 1) << "five frames of 0.0625 s, looping over four";
}

}  // namespace
