#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan and UBSan) and runs each one
# for a short time on its committed seeds (fuzz/seeds/<target>/), two at a
# time. Fails when any target crashes, leaks, times out or has no seeds.
#   tools/fuzz_smoke.sh [SECONDS_PER_TARGET] [JOBS]
# The crashing input is kept as build-fuzz/smoke/<target>/crash-*.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
jobs=${2:-2}
build=${ZARNIK_FUZZ_BUILD:-build-fuzz}

launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
mapfile -t targets < <(sed -n 's/^zarnik_fuzz(\([a-z_0-9]*\) .*/\1/p' fuzz/CMakeLists.txt)
start=$SECONDS
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DZARNIK_FUZZ=ON -DZARNIK_TESTS=OFF \
    "${launcher[@]}" >/dev/null
cmake --build "$build" --target "${targets[@]}"
echo "Fuzz build: $((SECONDS - start)) s"

out="$build/smoke"
rm -rf "$out"
for t in "${targets[@]}"; do
    if [ -z "$(ls -A "fuzz/seeds/$t" 2>/dev/null)" ]; then
        echo "fuzz smoke: no seeds in fuzz/seeds/$t" >&2
        exit 1
    fi
    mkdir -p "$out/$t/corpus"
done

# One target: new inputs go to a scratch corpus, never into the seeds.
run_one() {
    local t=$1 dir="$root/$out/$1"
    if (cd "$dir" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        "$root/$build/fuzz/$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$dir/" "$dir/corpus" "$root/fuzz/seeds/$t" \
        >log 2>&1); then
        echo "fuzz $t: ok, $(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log") runs"
    else
        echo "fuzz $t: FAILED (log: $out/$t/log)"
        tail -n 40 "$dir/log"
        return 1
    fi
}
export -f run_one
root=$PWD
export root out build seconds

start=$SECONDS
failed=0
printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one {}' || failed=1
total=${#targets[@]}
# A run that ended without its final statistics did not finish cleanly.
bad=$({ grep -L '^stat::number_of_executed_units' "$out"/*/log || true; } | wc -l)
[ "$failed" -eq 0 ] || [ "$bad" -gt 0 ] || bad=1
echo "Fuzz smoke: ${seconds} s per target, $jobs at a time: $((SECONDS - start)) s"
echo "fuzz: $((total - bad)) passed, $bad failed"
[ "$failed" -eq 0 ]
