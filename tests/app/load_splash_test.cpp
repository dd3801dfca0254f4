#include <gtest/gtest.h>

#include "app/app_config.h"
#include "app/load_splash.h"
#include "tests/render/render_fixture.h"
#include "tests/test_files.h"

namespace {

// Four loose splash frames, each a 10 x 10 square of its own colour.
class LoadSplashTest : public DisplayTest {
protected:
    void SetUp() override {
        StartDisplay(32, 200, 100);
        for (int i = 0; i < 4; ++i)
            WriteFile(dir.File("s000" + std::to_string(i) + ".bmp"), SolidBmp(10, 10, kColours[i]));
        startup.splashstart = (dir.Path() + "\\s").c_str();
        startup.splashend = ".bmp";
        startup.splashcount = 4;
        startup.splashtime = 0.1f;
        startup.splash_x = 50;
        startup.splash_y = 20;
    }
    void TearDown() override {
        splash.Release();
        DisplayTest::TearDown();
    }
    std::uint32_t Shown() { return PixelAt(Back(), 55, 25); }

    static constexpr std::uint32_t kColours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
    ScratchDir dir{"splash"};
    StartupSettings startup;
    LoadSplash splash;
};

TEST_F(LoadSplashTest, AdvancesByEachStatementsTimeAndPresentsOnlyWhenItsFrameChanges) {
    ASSERT_TRUE(splash.Create(startup, display.get()));
    ClearBack();
    splash.LoadStarted();
    EXPECT_EQ(splash.Frame(), 0);
    EXPECT_EQ(Shown(), kColours[0]);
    EXPECT_EQ(PixelAt(Back(), 49, 25), 0u);  // drawn at (splash_x, splash_y)
    EXPECT_EQ(splash.Presents(), 1);

    struct Step {
        float seconds;
        int frame, presents;
    } steps[] = {{0.03f, 0, 1}, {0.03f, 0, 1}, {0.03f, 0, 1}, {0.02f, 1, 2},
                 {0.25f, 3, 3}, {0.05f, 0, 4}, {0.0f, 0, 4}};
    for (const Step& s : steps) {
        splash.StatementRead(s.seconds);
        EXPECT_EQ(splash.Frame(), s.frame);
        EXPECT_EQ(splash.Presents(), s.presents);
        EXPECT_EQ(Shown(), kColours[s.frame]);
    }
    splash.LoadFinished();
    splash.StatementRead(1.0f);
    EXPECT_EQ(splash.Frame(), 0);  // stopped

    // The next load starts again from frame 0.
    splash.StatementRead(0.0f);
    splash.LoadStarted();
    splash.StatementRead(0.15f);
    EXPECT_EQ(splash.Frame(), 1);
}

TEST_F(LoadSplashTest, NoFramesNoSplashAndACountBeyondTheFilesTakesThoseThatExist) {
    StartupSettings s = startup;
    s.splashcount = 0;
    EXPECT_FALSE(splash.Create(s, display.get()));
    EXPECT_FALSE(splash.Exists());
    s = startup;
    s.splashstart = "";
    EXPECT_FALSE(splash.Create(s, display.get()));
    s = startup;
    s.splashstart = (dir.Path() + "\\none").c_str();
    EXPECT_FALSE(splash.Create(s, display.get()));

    // Two billion frames named, four on disk: no message per missing frame.
    s = startup;
    s.splashcount = 2000000000;
    s.splashtime = 0.0f;  // would never move: the default is taken
    const std::string log = LogAddedBy([&] { EXPECT_TRUE(splash.Create(s, display.get())); });
    EXPECT_EQ(log, "");
    splash.LoadStarted();
    splash.StatementRead(0.0625f * 5);
    EXPECT_EQ(splash.Frame(), 1);  // five frames of 0.0625 s, looping over four
}

}  // namespace
