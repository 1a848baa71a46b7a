# Helpers of the real-X smoke suite, sourced by smoke.sh: a virtual X display with a window
# manager, the program's windows found by caption, clicks and drags at window coordinates,
# and screen pixels read from screenshots. Every wait has a time limit.

passed=0
failed=0
xvfb_pid=""
openbox_pid=""
program_pid=""

pass() {
    echo "PASS: $*"
    passed=$((passed + 1))
}
fail() {
    echo "FAIL: $*"
    failed=$((failed + 1))
}
# check DESCRIPTION COMMAND...: PASS when the command succeeds.
check() {
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

# wait_until SECONDS COMMAND...: true as soon as the command succeeds, false after the limit.
wait_until() {
    local limit=$1
    shift
    local end=$((SECONDS + limit))
    while ! "$@"; do
        [ "$SECONDS" -ge "$end" ] && return 1
        sleep 0.1
    done
    return 0
}

# xdotool with a time limit: its --sync waits for the window manager without one.
xdo() {
    timeout 5 xdotool "$@"
}

stop_x() {
    local pid
    for pid in "$program_pid" "$openbox_pid" "$xvfb_pid"; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null
    done
    for pid in "$program_pid" "$openbox_pid" "$xvfb_pid"; do
        [ -n "$pid" ] && wait "$pid" 2>/dev/null
    done
    program_pid="" openbox_pid="" xvfb_pid=""
}

wm_running() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# Starts Xvfb on a free display and openbox on it; DISPLAY is set for what follows.
start_x() {
    local fd_file=$1/display
    rm -f "$fd_file"
    Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$fd_file" 2>"$1/xvfb.log" &
    xvfb_pid=$!
    # Xvfb writes the number of the display it took once it is ready.
    wait_until 10 grep -q '^[0-9][0-9]*$' "$fd_file" || return 1
    export DISPLAY=":$(head -n1 "$fd_file")"
    openbox --sm-disable >"$1/openbox.log" 2>&1 &
    openbox_pid=$!
    wait_until 10 wm_running
}

program_running() {
    [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null
}

# Ids of the program's mapped windows whose caption matches the pattern (all when omitted).
visible_windows() {
    xdo search --all --onlyvisible --pid "$program_pid" --name "${1:-.}" 2>/dev/null
}
# Ids of all the program's X windows with a matching caption, mapped or not.
all_windows() {
    xdo search --all --pid "$program_pid" --name "${1:-.}" 2>/dev/null
}
window_visible() {
    [ -n "$(visible_windows "$1")" ]
}
window_gone() {
    [ -z "$(visible_windows "$1")" ]
}
map_state() {
    xwininfo -id "$1" 2>/dev/null | sed -n 's/^ *Map State: *//p'
}
# The captions of the program's mapped windows, one a line, sorted.
visible_captions() {
    local id
    for id in $(visible_windows); do xdo getwindowname "$id"; done | sort
}

# Sets ORIGIN_X and ORIGIN_Y to the screen position of the window's client area.
window_origin() {
    local info
    info=$(xwininfo -id "$1") || return 1
    ORIGIN_X=$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$info")
    ORIGIN_Y=$(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$info")
}

# click WINDOW X Y: a left click at client coordinates.
click() {
    window_origin "$1" || return 1
    xdo mousemove --sync $((ORIGIN_X + $2)) $((ORIGIN_Y + $3)) click 1
    sleep 0.2
}
# drag WINDOW X1 Y1 X2 Y2: press at one point, move through the middle, release at the other.
drag() {
    window_origin "$1" || return 1
    local x1=$((ORIGIN_X + $2)) y1=$((ORIGIN_Y + $3)) x2=$((ORIGIN_X + $4)) y2=$((ORIGIN_Y + $5))
    xdo mousemove --sync "$x1" "$y1" mousedown 1
    xdo mousemove --sync $(((x1 + x2) / 2)) $(((y1 + y2) / 2))
    xdo mousemove --sync "$x2" "$y2" mouseup 1
    sleep 0.3
}
# keys WINDOW KEY...: the window active, then the keys, as a user types them.
keys() {
    local window=$1
    shift
    xdo windowactivate --sync "$window" 2>/dev/null
    xdo key --delay 50 "$@"
    sleep 0.2
}

screenshot() {
    timeout 10 import -window root "$1"
}
# pixel FILE X Y: the colour at screen position X, Y as #RRGGBB.
pixel() {
    convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -n1
}
# window_pixel FILE WINDOW X Y: the same at client coordinates of the window.
window_pixel() {
    window_origin "$2" || return 1
    pixel "$1" $((ORIGIN_X + $3)) $((ORIGIN_Y + $4))
}
# changed_pixels FILE1 FILE2 WINDOW X Y W H: how many pixels of the client rectangle differ.
changed_pixels() {
    window_origin "$3" || return 1
    local crop="$6x$7+$((ORIGIN_X + $4))+$((ORIGIN_Y + $5))"
    convert "$1" -crop "$crop" +repage "$work/crop_a.png"
    convert "$2" -crop "$crop" +repage "$work/crop_b.png"
    compare -metric AE "$work/crop_a.png" "$work/crop_b.png" null: 2>&1 | cut -d' ' -f1
}
# pixel_is FILE WINDOW X Y COLOUR
pixel_is() {
    local got
    got=$(window_pixel "$1" "$2" "$3" "$4")
    [ "$got" = "$5" ] || {
        echo "    at ($3, $4): $got, want $5"
        return 1
    }
}
