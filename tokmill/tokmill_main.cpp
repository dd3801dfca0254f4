// tokmill: compiles one text script into the token form the game loads
// without tokenizing. The exit code is 1 in every case.

#include <cstdio>
#include <memory>
#include <string>

#include "script/zarnik_script.h"

int main(int argc, char** argv) {
    if (argc < 2)
        return 1;
    const char* input = argv[1];
    const std::string output = ReplaceExtension(input, ".bin");

    std::printf("\nCompiling '%s' to '%s'...", input, output.c_str());
    std::fflush(stdout);

    auto script = std::make_unique<ZarnikScr>(input);
    const bool written = script->WriteCompiled(output.c_str());
    std::printf(written ? "\nOK.\n\n" : "\nError...\n\n");
    return 1;
}
