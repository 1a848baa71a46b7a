#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a bounded time
# (default 60 s each) from its seed corpus in fuzz/corpus/<target>/. Fails on any finding:
# a crash, a sanitizer report, a leak, a time-out or too much memory; the input that did it
# is kept as build-fuzz/artifacts/<target>-*. Usage: fuzz/run.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
targets=(hex_list port_mapping picture bmp batch_file board_state board_server)

scripts/install-deps.sh --fuzz
CC=clang CXX=clang++ cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j 2

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
mkdir -p build-fuzz/artifacts build-fuzz/logs
failed=()
for target in "${targets[@]}"; do
    mkdir -p "build-fuzz/corpus/$target"
    log="build-fuzz/logs/$target.log"
    echo "fuzz_$target: ${seconds} s"
    if ! "build-fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$target-" \
        "build-fuzz/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1; then
        failed+=("$target")
        tail -n 40 "$log"
    fi
    grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | sed "s/^/  /" || true
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzzing found problems in: ${failed[*]} (inputs in build-fuzz/artifacts/)"
    exit 1
fi
echo "fuzzing found nothing"
