#!/usr/bin/env bash
# Builds and runs every test. With --sanitize, builds and runs them with
# AddressSanitizer and UndefinedBehaviorSanitizer in a separate build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

dir=build
# Tests on even where ./scripts/run.sh left them off in the same build folder.
opts=(-DOSDEX_BUILD_TESTS=ON)
if [ "${1:-}" = "--sanitize" ]; then
    dir=build-asan
    # -O0 builds far faster and the sanitizers see the same faults.
    opts+=(-DOSDEX_SANITIZE=ON -DOSDEX_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug)
fi

scripts/build.sh "$dir" "${opts[@]}"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# No tests found is a failure, not a pass.
ctest --test-dir "$dir" --output-on-failure --no-tests=error -j "$(nproc)" --timeout 300
