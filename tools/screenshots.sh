#!/usr/bin/env bash
# Saves a picture of each of the program's windows into docs/screenshots/, built on the
# simulated board and shown on a virtual X display.
# Usage: tools/screenshots.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
if [ ! -f "$dir/build.ninja" ]; then
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOSDEX_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$dir" --target ui_screenshots -j 2
out=$(pwd)/docs/screenshots
shots=$(cd "$dir" && pwd)/tests/ui/ui_screenshots
# The simulated board on LPT1, whatever ports the machine has; from the program's folder,
# where the test pattern finds its logo.
cd "$dir/ui"
VANLPT_PORTS="1=sim,2=none,3=none" xvfb-run -a -s "-screen 0 1280x1024x24" "$shots" "$out"
