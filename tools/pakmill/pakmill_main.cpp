// pakmill: builds, lists and unpacks the game's data archive.

#include <cstdio>
#include <cstring>
#include <string>

#include "tools/pakmill/pak_builder.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: pakmill build OUT.pak DIR\n"
                 "       pakmill list FILE.pak\n"
                 "       pakmill extract FILE.pak DIR\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage();
    const std::string verb = argv[1];
    std::string error;
    bool ok = false;
    if (verb == "build" && argc == 4) {
        ok = BuildArchive(argv[2], argv[3], &error);
    } else if (verb == "list" && argc == 3) {
        ok = ListArchive(argv[2], &error);
    } else if (verb == "extract" && argc == 4) {
        ok = ExtractArchive(argv[2], argv[3], &error);
    } else {
        return Usage();
    }
    if (!ok) {
        std::fprintf(stderr, "pakmill: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
