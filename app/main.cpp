#include <cstdio>
#include <string>

#include "app/command_line.h"
#include "app/game_app.h"

int main(int argc, char** argv) {
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(argc, argv, &line, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    // Data paths are relative to the program's folder.
    EnterProgramFolder();
    GameApp app;
    return app.Main(line);
}
