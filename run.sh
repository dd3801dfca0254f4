#!/usr/bin/env bash
# Builds the game (release) and starts it. Arguments go to the game:
#   ./run.sh              play
#   ./run.sh /safemode    in a window whatever the settings say
set -euo pipefail
cd "$(dirname "$0")"
tools/bootstrap.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DZARNIK_TESTS=OFF >/dev/null
cmake --build build
exec build/zarnik "$@"
