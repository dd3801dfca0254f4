#include "app/command_line.h"

#include <cstring>

namespace {

bool ParseCount(const char* text, int* value) {
    if (!text || !*text || std::strlen(text) > 9)
        return false;
    int v = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        v = v * 10 + (*p - '0');
    }
    *value = v;
    return v > 0;
}

}  // namespace

bool ParseCommandLine(int argc, const char* const* argv, CommandLine* line, std::string* error) {
    std::string whole;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--frames") == 0) {
            if (i + 1 >= argc || !ParseCount(argv[i + 1], &line->frames)) {
                *error = "zarnik: --frames needs a number of frames from 1 to 999999999";
                return false;
            }
            ++i;
            continue;
        }
        if (std::strcmp(arg, "--screenshot") == 0) {
            if (i + 1 >= argc || !*argv[i + 1]) {
                *error = "zarnik: --screenshot needs a file name (FILE.png)";
                return false;
            }
            line->screenshot = argv[++i];
            continue;
        }
        if (std::strcmp(arg, "--scale") == 0) {
            const char* mode = i + 1 < argc ? argv[i + 1] : "";
            if (std::strcmp(mode, "sharp") != 0 && std::strcmp(mode, "smooth") != 0) {
                *error = "zarnik: --scale needs sharp or smooth";
                return false;
            }
            line->scale = std::strcmp(mode, "sharp") == 0 ? 1 : 0;
            ++i;
            continue;
        }
        if (std::strcmp(arg, "--replay") == 0) {
            if (i + 1 >= argc || !*argv[i + 1]) {
                *error = "zarnik: --replay needs a replay file (FILE.replay)";
                return false;
            }
            line->replay = argv[++i];
            continue;
        }
        if (!whole.empty())
            whole += ' ';
        whole += arg;
    }
    line->developer = whole.find("/developer") != std::string::npos;
    line->safemode = whole.find("/safemode") != std::string::npos;
    return true;
}
