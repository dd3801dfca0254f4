#!/usr/bin/env bash
# Lines of test code against lines of program code: C++ and Python (the data
# generator and the test scripts), blank lines and whole-line comments not
# counted; benchmarks and fuzz targets not counted.
# With folder arguments, counts only those (e.g. tools/test_ratio.sh menu tests/menu).
set -euo pipefail
cd "$(dirname "$0")/.."
count() { xargs -r cat | grep -v '^\s*$' | grep -v '^\s*//' | grep -cv '^\s*#[^a-z]' || true; }
files=$(git ls-files -co --exclude-standard '*.cpp' '*.h' '*.py' | grep -v '^bench/\|^fuzz/')
if [ $# -gt 0 ]; then
    pattern=$(printf '^%s/\\|' "$@"); pattern=${pattern%\\|}
    files=$(echo "$files" | grep "$pattern" || true)
fi
tests=$(echo "$files" | grep '^tests/' | count)
code=$(echo "$files" | grep -v '^tests/' | count)
echo "tests $tests / code $code = $(awk -v t="$tests" -v c="$code" 'BEGIN { if (c > 0) printf "%.1f%%", 100 * t / c; else print "n/a" }')"
