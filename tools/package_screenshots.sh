#!/usr/bin/env bash
# Pictures of the program as someone who installed the package sees it: the package of
# BUILD_DIR unpacked into a scratch folder and started the way its desktop entry starts it, on
# the simulated board under Xvfb and openbox. Saves into docs/screenshots/:
#   desktop_entry.png   the screen once the program is up
#   test_pattern.png    the main window and channel window 0 after F10
# Usage: tools/package_screenshots.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
source_root=$(pwd)
build=$(cd "${1:-build}" && pwd)
scripts/install-deps.sh --package
cmake --build "$build" --target package -j1 >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb=$build/osdex-eval-kit_${version}_$(dpkg --print-architecture).deb

work=$(mktemp -d)
root=$work/root
mkdir -p "$root" "$work/home"
dpkg -x "$deb" "$root"
# shellcheck source=tests/x11/lib.sh
source "$source_root/tests/x11/lib.sh"
cleanup() {
    stop_x
    rm -rf "$work"
}
trap cleanup EXIT

start_x "$work"
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/osdex-eval-kit.desktop")
(cd / && HOME=$work/home VANLPT_PORTS="1=sim,2=none,3=none" exec "$root$exec_line") \
    >"$work/program.log" 2>&1 &
program_pid=$!
wait_until 20 window_visible '^Vantor Evaluation Kit$'
keys "$(visible_windows '^Vantor Evaluation Kit$')" Return
main_up() { window_visible '^Osdex On-Screen Display' && window_visible '^Osdex Channel 0'; }
wait_until 20 main_up
main=$(visible_windows '^Osdex On-Screen Display')
channel0=$(visible_windows '^Osdex Channel 0')
xdo windowmove --sync "$main" 20 20
xdo windowmove --sync "$channel0" 640 60
sleep 1
# Both windows with their frames, on the desktop around them.
screenshot "$work/screen.png"
convert "$work/screen.png" -crop 1320x600+0+0 +repage docs/screenshots/desktop_entry.png

keys "$main" F10
sleep 1
wait_until 30 main_up
sleep 1
screenshot "$work/screen.png"
convert "$work/screen.png" -crop 1320x600+0+0 +repage docs/screenshots/test_pattern.png
ls -l docs/screenshots/desktop_entry.png docs/screenshots/test_pattern.png
