#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/frame_steps.h"
#include "table/table.h"

namespace {

TEST(FrameClock, FrameTimeIsTheElapsedMillisecondsCappedAtOneHundred) {
    FrameClock c;
    EXPECT_EQ(c.Tick(5000), 100) << "the first frame counts as 100 ms";
    // The clock's reading, the frame time.
    const std::uint32_t steps[][2] = {{5016, 16}, {5016, 0}, {5266, 100}, {5366, 100}, {5465, 99}};
    for (const auto& [now, frameTime] : steps)
        EXPECT_EQ(c.Tick(now), std::int32_t(frameTime)) << now;
    EXPECT_FLOAT_EQ(c.Seconds(), 0.099f);
    // The clock wraps after 49 days; the step across stays small.
    c.Tick(0xFFFFFFF0u);
    EXPECT_EQ(c.Tick(0x00000010u), 32);
    EXPECT_EQ(FramesPerSecond(16), 62.5f);
    EXPECT_EQ(FramesPerSecond(0), -1.0f) << "a frame of no time";
}

TEST(ExitRepeat, HeldItSwitchesAtOnceAndThenFourTimesASecondNotEveryFrame) {
    ExitRepeat e;
    std::vector<std::uint32_t> switches;
    for (std::uint32_t t = 0; t < 1000; t += 10) {
        if (e.Switches(true, t))
            switches.push_back(t);
    }
    EXPECT_EQ(switches, (std::vector<std::uint32_t>{0, 250, 500, 750}));
    // Released, nothing; pressed again, it switches only 250 ms after the last.
    EXPECT_FALSE(e.Switches(false, 1100));
    EXPECT_TRUE(e.Switches(true, 1101));
    EXPECT_FALSE(e.Switches(true, 1101 + 249));
    EXPECT_TRUE(e.Switches(true, 1101 + 250));
}

TEST(PointerPosition, NormalisedAgainstTheTableRectangle) {
    ScreenRect r{100, 50, 500, 450};
    float nx = -1, ny = -1;
    NormalisePointer(0, 150, r, &nx, &ny);
    EXPECT_FLOAT_EQ(nx, -0.25f);
    EXPECT_FLOAT_EQ(ny, 0.25f);
    // No width: 0 across. Two billion high: no overflow.
    NormalisePointer(9, 0, ScreenRect{7, -2000000000, 7, 2000000000}, &nx, &ny);
    EXPECT_EQ(nx, 0.0f);
    EXPECT_FLOAT_EQ(ny, 0.5f);
}

// The original switches are substrings of the whole line (words joined by a
// blank), case counting; an option's value is not part of that line.
TEST(CommandLine, SwitchesAreSubstringsOfTheWholeLineAndOptionsTakeTheirValues) {
    std::string error;
    auto parse = [&error](std::vector<const char*> args, bool ok = true) {
        args.insert(args.begin(), "zarnik");
        CommandLine line;
        error.clear();
        EXPECT_EQ(ParseCommandLine(int(args.size()), args.data(), &line, &error), ok) << args[1];
        EXPECT_EQ(error.rfind("zarnik: --", 0), ok ? std::string::npos : 0) << error;
        return line;
    };
    EXPECT_TRUE(parse({"/developerx"}).developer);
    EXPECT_TRUE(parse({"-a", "x/safemode"}).safemode);
    const CommandLine off = parse({"/DEVELOPER", "/Safemode", "/deve", "loper"});
    EXPECT_FALSE(off.developer || off.safemode);
    const CommandLine options = parse({"--frames", "120", "--screenshot", "/developer.png"});
    EXPECT_EQ(options.frames, 120);
    EXPECT_EQ(options.screenshot, "/developer.png");
    EXPECT_FALSE(options.developer);
    parse({"--frames"}, false);
    parse({"--frames", "0"}, false);
    parse({"--frames", "12x"}, false);
    parse({"--frames", "9999999999"}, false);
    parse({"--screenshot", ""}, false);
    parse({"--screenshot"}, false);
    // --scale: sharp or smooth, else the configuration decides.
    EXPECT_EQ(parse({}).scale, -1);
    EXPECT_EQ(parse({"--scale", "sharp"}).scale, 1);
    EXPECT_EQ(parse({"--scale", "smooth", "/developer"}).scale, 0);
    for (auto bad : {std::vector<const char*>{"--scale"}, {"--scale", "Sharp"}, {"--scale", "2"}}) {
        parse(bad, false);
        EXPECT_EQ(error, "zarnik: --scale needs sharp or smooth");
    }
}

}  // namespace
