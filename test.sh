#!/usr/bin/env bash
# Builds the whole suite with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
tools/bootstrap.sh
cmake -S . -B build-check -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARNIK_SANITIZE=ON >/dev/null
cmake --build build-check
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The editor's browser test leaves a screenshot of the page: the CI artefact.
shot="$PWD/build-check/tests/editor/browser/editor_page.png"
rm -f "$shot"
echo "Editor page screenshot (written by EditorBrowser.PageInChromium): $shot"
ctest --test-dir build-check --output-on-failure -j2 "$@"
