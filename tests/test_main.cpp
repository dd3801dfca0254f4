#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    // Headless by default; CI may override (setenv without overwrite).
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("ZARNIK_MESSAGES", "stderr", 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
