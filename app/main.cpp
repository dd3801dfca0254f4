#include <cstdio>
#include <string>

#include "app/command_line.h"
#include "app/game_app.h"
#include "app/user_folder.h"

int main(int argc, char** argv) {
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(argc, argv, &line, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    // Data paths are relative to the program's folder; the player's files go
    // to the user data folder when that one is read-only (an installed game).
    EnterProgramFolder();
    ChooseUserDataFolder();
    GameApp app;
    return app.Main(line);
}
