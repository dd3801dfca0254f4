// --scale chooses sharp or smooth scaling of the back surface.
#include <gtest/gtest.h>

#include "app/command_line.h"

namespace {

bool Parse(std::initializer_list<const char*> args, CommandLine* line, std::string* error) {
    std::vector<const char*> argv{"zarnik"};
    argv.insert(argv.end(), args);
    return ParseCommandLine(int(argv.size()), argv.data(), line, error);
}

TEST(ScaleOption, SharpOrSmoothElseAClearRefusal) {
    CommandLine line;
    std::string error;
    ASSERT_TRUE(Parse({}, &line, &error));
    EXPECT_EQ(line.scale, -1);  // the configuration decides
    ASSERT_TRUE(Parse({"--scale", "sharp", "/developer"}, &line, &error));
    EXPECT_EQ(line.scale, 1);
    EXPECT_TRUE(line.developer);
    ASSERT_TRUE(Parse({"--scale", "smooth"}, &line, &error));
    EXPECT_EQ(line.scale, 0);
    for (auto bad :
         {std::initializer_list<const char*>{"--scale"}, {"--scale", "Sharp"}, {"--scale", "2"}}) {
        CommandLine other;
        error.clear();
        EXPECT_FALSE(Parse(bad, &other, &error));
        EXPECT_EQ(error, "zarnik: --scale needs sharp or smooth");
    }
}

}  // namespace
