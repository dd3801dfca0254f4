#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    // Headless by default; CI may override (setenv without overwrite).
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("ZARNIK_MESSAGES", "stderr", 0);
    ::testing::InitGoogleTest(&argc, argv);

    // CTest runs test cases as parallel processes: each gets a folder of its
    // own, so "Zarnik.log" and scratch files are never shared.
    namespace fs = std::filesystem;
    const fs::path home = fs::current_path();
    const fs::path own = home / ("proc-" + std::to_string(getpid()));
    fs::create_directories(own);
    fs::current_path(own);
    int result = RUN_ALL_TESTS();
    fs::current_path(home);
    std::error_code ec;
    if (result == 0)
        fs::remove_all(own, ec);
    return result;
}
