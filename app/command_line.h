#pragma once

#include <string>

// The game's command line. The original switches are substrings of the whole
// line, case counting ("/developerx" counts, "/DEVELOPER" does not); the
// options for tests and authors are separate words.
//   zarnik [/developer] [/safemode] [--frames N] [--screenshot FILE.png]
//          [--scale sharp|smooth]
//          [--replay FILE.replay]
struct CommandLine {
    bool developer = false;
    bool safemode = false;
    int frames = 0;          // quit after this many frames; 0 runs until closed
    std::string screenshot;  // back surface saved just before the game quits
    int scale = -1;          // --scale: 1 sharp, 0 smooth, -1 as the configuration says
    std::string replay;      // a recorded game shown at its own speed
};

// False with a one-line message in *error when an option can't be used.
bool ParseCommandLine(int argc, const char* const* argv, CommandLine* line, std::string* error);
