#!/usr/bin/env bash
# The real-X smoke suite: the program built in BUILD_DIR, on the simulated board, under Xvfb
# and openbox, driven with xdotool and checked with xwininfo and screenshots; once in the
# C.UTF-8 locale and once in de_DE.UTF-8, each time also at the screen scales 1.5 and 2 (a
# one-pixel checkerboard in even blocks); then once with two programs on a board served by
# `osdex serve`. Installs what it needs first. Prints a PASS or FAIL
# line per check, ends with "N passed, N failed" and exits non-zero on any failure.
# Usage: tests/x11/run.sh BUILD_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
if [ $# -ne 1 ] || [ ! -x "$1/ui/osdex-eval-kit" ]; then
    echo "usage: tests/x11/run.sh BUILD_DIR (with ui/osdex-eval-kit built)" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
"$root/scripts/install-deps.sh" || exit 2

out=$build/x11-smoke
rm -rf "$out"
mkdir -p "$out"
passed=0
failed=0
# run_pass NAME LOG COMMAND...: one pass with a time limit, its PASS and FAIL lines counted.
run_pass() {
    local name=$1 log=$2
    shift 2
    # A pass that hangs is stopped; its own trap ends what it started.
    timeout --signal=TERM --kill-after=10 120 "$@" 2>&1 | tee "$log"
    local status=${PIPESTATUS[0]}
    local p f
    p=$(grep -c '^PASS: ' "$log")
    f=$(grep -c '^FAIL: ' "$log")
    if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
        echo "FAIL: the pass $name finished within its time limit"
        f=$((f + 1))
    elif [ "$status" -ne 0 ] && [ "$f" -eq 0 ]; then
        echo "FAIL: the pass $name ended with status $status"
        f=$((f + 1))
    fi
    passed=$((passed + p))
    failed=$((failed + f))
}

for locale in C.UTF-8 de_DE.UTF-8; do
    echo "== locale $locale"
    export LC_ALL=$locale LANG=$locale
    run_pass "in $locale" "$out/$locale.log" "$here/smoke.sh" "$build" "$out/$locale"
    for scale in 1.5 2; do
        echo "== locale $locale, screen scale $scale"
        run_pass "in $locale at scale $scale" "$out/$locale-scale-$scale.log" \
            "$here/scale.sh" "$build" "$out/$locale-scale-$scale" "$scale"
    done
done
echo "== a board served to two programs"
run_pass "on a served board" "$out/served.log" "$here/served.sh" "$build" "$out/served"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
