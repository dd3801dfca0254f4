#include <gtest/gtest.h>

#include <cmath>

#include "app/command_line.h"
#include "app/frame_steps.h"
#include "table/table.h"

namespace {

TEST(FrameClock, FrameTimeIsTheElapsedMillisecondsCappedAtOneHundred) {
    FrameClock c;
    EXPECT_EQ(c.Tick(5000), 100);  // the first frame counts as 100 ms
    struct Step {
        std::uint32_t now;
        std::int32_t frameTime;
    } steps[] = {{5016, 16}, {5016, 0}, {5266, 100}, {5366, 100}, {5465, 99}};
    for (const Step& s : steps) {
        EXPECT_EQ(c.Tick(s.now), s.frameTime) << s.now;
    }
    EXPECT_FLOAT_EQ(c.Seconds(), 0.099f);

    // The clock wraps after 49 days; the step across stays small.
    FrameClock wrap;
    wrap.Tick(0xFFFFFFF0u);
    EXPECT_EQ(wrap.Tick(0x00000010u), 32);
}

TEST(FrameClock, FramesPerSecondIsMinusOneForAFrameOfNoTime) {
    EXPECT_EQ(FramesPerSecond(0), -1.0f);
    EXPECT_EQ(FramesPerSecond(16), 62.5f);
    EXPECT_EQ(FramesPerSecond(100), 10.0f);
}

// Held down for a second of 10 ms frames, the menu key switches four times.
TEST(ExitRepeat, HeldItSwitchesAboutFourTimesASecondNotEveryFrame) {
    ExitRepeat e;
    int switches = 0;
    std::uint32_t first = 0, last = 0;
    for (std::uint32_t t = 1000; t < 2000; t += 10) {
        if (e.Switches(true, t)) {
            first = switches == 0 ? t : first;
            last = t;
            ++switches;
        }
    }
    EXPECT_EQ(switches, 4);
    EXPECT_EQ(first, 1000u);  // at once, not after a wait
    EXPECT_EQ(last, 1750u);

    // Released, nothing; a new press after the interval switches at once.
    EXPECT_FALSE(e.Switches(false, 2100));
    EXPECT_TRUE(e.Switches(true, 2101));
    EXPECT_FALSE(e.Switches(true, 2101 + 249));
    EXPECT_TRUE(e.Switches(true, 2101 + 250));
}

TEST(PointerPosition, NormalisedAgainstTheTableRectangle) {
    ScreenRect r;
    r.left = 100;
    r.top = 50;
    r.right = 500;
    r.bottom = 450;
    float nx = -1, ny = -1;
    NormalisePointer(300, 150, r, &nx, &ny);
    EXPECT_FLOAT_EQ(nx, 0.5f);
    EXPECT_FLOAT_EQ(ny, 0.25f);
    NormalisePointer(0, 600, r, &nx, &ny);
    EXPECT_FLOAT_EQ(nx, -0.25f);
    EXPECT_FLOAT_EQ(ny, 1.375f);

    ScreenRect flat;
    flat.left = flat.right = 7;
    flat.top = -2000000000;
    flat.bottom = 2000000000;
    NormalisePointer(9, 0, flat, &nx, &ny);
    EXPECT_EQ(nx, 0.0f);
    EXPECT_TRUE(std::isfinite(ny));
    EXPECT_FLOAT_EQ(ny, 0.5f);
}

CommandLine Parse(std::initializer_list<const char*> args, bool expectOk = true) {
    std::vector<const char*> argv = {"zarnik"};
    argv.insert(argv.end(), args);
    CommandLine line;
    std::string error;
    EXPECT_EQ(ParseCommandLine(int(argv.size()), argv.data(), &line, &error), expectOk);
    EXPECT_EQ(error.empty(), expectOk) << error;
    return line;
}

TEST(CommandLine, SwitchesAreSubstringsOfTheWholeLineWithCaseCounting) {
    EXPECT_TRUE(Parse({"/developerx"}).developer);
    EXPECT_TRUE(Parse({"x/developer"}).developer);
    EXPECT_FALSE(Parse({"/DEVELOPER"}).developer);
    EXPECT_FALSE(Parse({"/Safemode"}).safemode);
    const CommandLine both = Parse({"-a", "/safemode/developer"});
    EXPECT_TRUE(both.developer);
    EXPECT_TRUE(both.safemode);
    // Split across two words, it is no switch: words are joined by a blank.
    EXPECT_FALSE(Parse({"/deve", "loper"}).developer);
    EXPECT_FALSE(Parse({}).developer);
}

TEST(CommandLine, FramesAndScreenshotOptions) {
    const CommandLine l = Parse({"--frames", "120", "--screenshot", "shot.png", "/safemode"});
    EXPECT_EQ(l.frames, 120);
    EXPECT_EQ(l.screenshot, "shot.png");
    EXPECT_TRUE(l.safemode);
    // The option's value is not part of the searched line.
    EXPECT_FALSE(Parse({"--screenshot", "/developer.png"}).developer);

    for (auto bad : {std::vector<const char*>{"--frames"},
                     {"--frames", "0"},
                     {"--frames", "-3"},
                     {"--frames", "12x"},
                     {"--frames", "9999999999"},
                     {"--screenshot"},
                     {"--screenshot", ""}}) {
        std::vector<const char*> argv = {"zarnik"};
        argv.insert(argv.end(), bad.begin(), bad.end());
        CommandLine line;
        std::string error;
        EXPECT_FALSE(ParseCommandLine(int(argv.size()), argv.data(), &line, &error));
        EXPECT_EQ(error.find('\n'), std::string::npos);
        EXPECT_EQ(error.rfind("zarnik: ", 0), 0u) << error;
    }
}

}  // namespace
