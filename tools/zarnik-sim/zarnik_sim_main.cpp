#include <cstdio>
#include <string>

#include "tools/zarnik-sim/sim_runner.h"

int main(int argc, char** argv) {
    SimOptions options;
    std::string error;
    if (!ParseSimArgs(argc, argv, &options, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    return options.batchFile.empty() ? RunSim(options, stdout) : RunSimBatch(options, stdout);
}
