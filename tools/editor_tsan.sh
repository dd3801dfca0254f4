#!/usr/bin/env bash
# The editor's threads under ThreadSanitizer: a separate build of just the
# editor tests and the game's editor hooks (build-tsan/), then the tests that
# run the game beside the server, the 10,000-command stress test among them,
# and the game reloading its table and showing its menus under the edits.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
    -DCMAKE_C_FLAGS=-fsanitize=thread -DCMAKE_CXX_FLAGS=-fsanitize=thread \
    -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread >/dev/null
nice cmake --build build-tsan --target editor_tests app_editor_tests
mkdir -p build-tsan/testrun
cd build-tsan/testrun
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}" \
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ZARNIK_MESSAGES=stderr \
    ../tests/editor/editor_tests --gtest_filter='EditorHttpTest.*:EditorTest.*' 2>tsan-messages.txt
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}" \
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ZARNIK_MESSAGES=stderr \
    ../tests/app/app_editor_tests 2>>tsan-messages.txt
echo "editor_tsan: no race reported (messages in build-tsan/testrun/tsan-messages.txt)"
