#!/usr/bin/env bash
# The scale pass of the real-X suite: the program from BUILD_DIR under Xvfb and openbox with
# QT_SCALE_FACTOR=SCALE, on a simulated board whose channel 0 holds a one-pixel checkerboard.
# Channel window 0 reads it back and shows it; the screenshot's device pixels must be even
# blocks (2 x 2 at 150 % and 200 % at 1x, 3 x 3 and 4 x 4 at 2x). Prints a PASS or FAIL line
# per check; screenshots go to OUT_DIR. Usage: tests/x11/scale.sh BUILD_DIR OUT_DIR SCALE
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
work=$2
scale=$3
mkdir -p "$work"
# shellcheck source=tests/x11/lib.sh
source "$here/lib.sh"
trap stop_x EXIT
trap "exit 143" TERM INT

readonly MEMORY_BOX='^Vantor Evaluation Kit$'
readonly MAIN='^Osdex On-Screen Display: Multi-Cha'
readonly CHANNEL0='^Osdex Channel 0( |$)'
readonly CLOSE_QUESTION='^RUDIRUVUVA$'
readonly PIXELS=48 # picture pixels read back and checked each way

# Device pixels per picture pixel at a zoom: zoom x scale rounded, halves up.
device_pixels() {
    python3 -c "import math; print(max(1, math.floor($1 * $scale + 0.5)))"
}

# A 712 x 512 one-pixel checkerboard of white and black, in channel 0 of a board file.
make_board() {
    python3 - "$work/checker.ppm" <<'PY'
import sys
w, h = 712, 512
rows = bytearray()
for y in range(h):
    for x in range(w):
        rows += b"\xff\xff\xff" if (x + y) % 2 == 0 else b"\x00\x00\x00"
with open(sys.argv[1], "wb") as f:
    f.write(b"P6 %d %d 255\n" % (w, h) + bytes(rows))
PY
    convert "$work/checker.ppm" "$work/checker.png" &&
        "$build/cli/osdex" --quiet --port "sim:$work/board.osdex" memory load 0 "$work/checker.png"
}

window_size() {
    local info
    info=$(xwininfo -id "$1") || return 1
    WIDTH=$(sed -n 's/^ *Width: *//p' <<<"$info")
    HEIGHT=$(sed -n 's/^ *Height: *//p' <<<"$info")
}

shows_blocks() {
    screenshot "$work/poll.png" &&
        python3 "$here/blocks.py" even "$work/poll.png" "$PICTURE_X" "$PICTURE_Y" "$1" "$PIXELS" >/dev/null
}

# A crop of the checked area, enlarged without smoothing so that the blocks can be seen.
keep_crop() {
    local k=$1 name=$2 size=$((PIXELS * $1))
    convert "$3" -crop "${size}x${size}+${PICTURE_X}+${PICTURE_Y}" +repage \
        -filter point -resize 400% "$work/$name"
}

run() {
    if ! make_board; then
        fail "a board file with a checkerboard in channel 0"
        return
    fi
    (cd "$build/ui" && QT_SCALE_FACTOR=$scale VANLPT_PORTS="1=sim:$work/board.osdex,2=none,3=none" \
        exec ./osdex-eval-kit) >"$work/program.log" 2>&1 &
    program_pid=$!
    if ! wait_until 20 window_visible "$MEMORY_BOX"; then
        fail "the memory box comes up at scale $scale"
        return
    fi
    keys "$(visible_windows "$MEMORY_BOX")" Return
    if ! wait_until 20 window_visible "$CHANNEL0"; then
        fail "channel window 0 comes up at scale $scale"
        return
    fi
    sleep 0.5
    local main channel0
    main=$(visible_windows "$MAIN")
    channel0=$(visible_windows "$CHANNEL0")
    xdo windowmove --sync "$main" 1500 600
    xdo windowmove --sync "$channel0" 20 40
    sleep 0.5
    screenshot "$work/1_started.png"
    window_origin "$channel0" && window_size "$channel0"
    local at
    at=$(python3 "$here/blocks.py" origin "$work/1_started.png" "$ORIGIN_X" "$ORIGIN_Y" "$WIDTH" "$HEIGHT")
    if [ -z "$at" ]; then
        fail "channel window 0's picture is found on the screen"
        return
    fi
    read -r PICTURE_X PICTURE_Y <<<"$at"
    pass "channel window 0's picture is at $PICTURE_X, $PICTURE_Y"

    # The read-back tool from the keyboard, dragged over the first picture pixels. The pointer
    # goes to each pixel's first device pixel: the toolkit rounds the pointer to whole logical
    # pixels, and a point further in may round into the next picture pixel.
    local k end
    k=$(device_pixels 1)
    end=$(((PIXELS - 1) * k))
    keys "$channel0" m
    xdo mousemove --sync "$PICTURE_X" "$PICTURE_Y" mousedown 1
    xdo mousemove --sync $((PICTURE_X + end)) $((PICTURE_Y + end)) mouseup 1
    check "at scale $scale and 1x the checkerboard shows as even $k x $k blocks" \
        wait_until 30 shows_blocks "$k"
    screenshot "$work/2_checkerboard_1x.png"
    python3 "$here/blocks.py" even "$work/2_checkerboard_1x.png" "$PICTURE_X" "$PICTURE_Y" "$k" "$PIXELS"
    keep_crop "$k" "checkerboard_1x.png" "$work/2_checkerboard_1x.png"

    # Ctrl+wheel with the pointer on the picture's corner: 2x, the corner staying put.
    k=$(device_pixels 2)
    xdo mousemove --sync $((PICTURE_X + 1)) $((PICTURE_Y + 1)) keydown ctrl click 4 keyup ctrl
    check "at scale $scale, Ctrl+wheel to 2x shows even $k x $k blocks" \
        wait_until 10 shows_blocks "$k"
    screenshot "$work/3_checkerboard_2x.png"
    keep_crop "$k" "checkerboard_2x.png" "$work/3_checkerboard_2x.png"

    keys "$main" alt+F4
    wait_until 10 window_visible "$CLOSE_QUESTION" &&
        keys "$(visible_windows "$CLOSE_QUESTION")" alt+y
    if wait_until 15 eval '! program_running'; then
        wait "$program_pid"
        program_pid=""
    fi
}

if ! start_x "$work"; then
    fail "Xvfb and openbox start"
else
    echo "display $DISPLAY, QT_SCALE_FACTOR=$scale, LC_ALL=${LC_ALL:-}, screenshots in $work"
    run
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
