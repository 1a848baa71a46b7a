#!/usr/bin/env bash
# One pass of the real-X suite on a served board: `osdex serve` owns a simulated board, one
# program draws on it through the server's socket, and the Video Monitor of a second program
# on the same server shows what the first drew. Prints a PASS or FAIL line per check.
# Usage: tests/x11/served.sh BUILD_DIR OUT_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
work=$2
mkdir -p "$work"
# shellcheck source=tests/x11/lib.sh
source "$here/lib.sh"

readonly MEMORY_BOX='^Vantor Evaluation Kit$'
readonly MAIN='^Osdex On-Screen Display: Multi-Cha'
readonly CHANNEL0='^Osdex Channel 0( |$)'
readonly MONITOR='^Video Monitor$'
readonly MAIN_SOLID_RECT=(323 65)
readonly MAIN_LEVEL_15=(15 96)
readonly MAIN_PICTURE=(6 135)

socket=$work/board.sock
server_pid=""
drawing_pid=""
watching_pid=""

end_all() {
    local pid
    for pid in "$drawing_pid" "$watching_pid"; do [ -n "$pid" ] && kill "$pid" 2>/dev/null; done
    program_pid=""
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
    stop_x
}
trap end_all EXIT
trap "exit 143" TERM INT

server_listens() {
    grep -qs 'listening at' "$work/server.log"
}

# Starts a program on the served board in its own folder; program_pid is set to it and its
# main window is up, with the start-up box answered.
start_client() {
    local name=$1
    mkdir -p "$work/$name"
    (cd "$work/$name" && VANLPT_PORTS="1=unix:$socket,2=none,3=none" \
        exec "$build/ui/osdex-eval-kit") >"$work/$name.log" 2>&1 &
    program_pid=$!
    wait_until 30 window_visible "$MEMORY_BOX" || return 1
    keys "$(visible_windows "$MEMORY_BOX")" Return
    wait_until 30 window_visible "$MAIN" && wait_until 10 window_visible "$CHANNEL0"
}

if ! start_x "$work"; then
    fail "Xvfb and openbox start"
else
    "$build/cli/osdex" --port sim serve --listen "unix:$socket" >"$work/server.log" 2>&1 &
    server_pid=$!
    check "osdex serve listens on its socket" wait_until 20 server_listens

    if start_client drawing; then
        pass "a program starts on the served board"
        drawing_pid=$program_pid
        drawing_main=$(visible_windows "$MAIN")
        xdo windowmove --sync "$(visible_windows "$CHANNEL0")" 900 700
        xdo windowmove --sync "$drawing_main" 20 40
    else
        fail "a program starts on the served board"
    fi

    if [ -n "$drawing_pid" ] && start_client watching; then
        pass "a second program starts on the same served board"
        watching_pid=$program_pid
        xdo windowmove --sync "$(visible_windows "$CHANNEL0")" 950 750
        xdo windowmove --sync "$(visible_windows "$MAIN")" 1000 800
        keys "$(visible_windows "$MAIN")" alt+v m
        if wait_until 15 window_visible "$MONITOR"; then
            pass "the second program opens its Video Monitor"
            monitor=$(visible_windows "$MONITOR")
            xdo windowmove --sync "$monitor" 790 20
            sleep 1
            screenshot "$work/1_monitor_before.png"

            program_pid=$drawing_pid
            click "$drawing_main" "${MAIN_LEVEL_15[@]}"
            click "$drawing_main" "${MAIN_SOLID_RECT[@]}"
            drag "$drawing_main" $((MAIN_PICTURE[0] + 300)) $((MAIN_PICTURE[1] + 300)) \
                $((MAIN_PICTURE[0] + 420)) $((MAIN_PICTURE[1] + 380))
            sleep 2
            screenshot "$work/2_monitor_after.png"
            program_pid=$watching_pid
            xdo windowactivate --sync "$monitor" 2>/dev/null
            sleep 1
            screenshot "$work/3_monitor_raised.png"
            changed=$(changed_pixels "$work/1_monitor_before.png" "$work/3_monitor_raised.png" \
                "$monitor" 0 0 420 760)
            check "the second program's monitor shows the rectangle the first drew ($changed pixels)" \
                test "${changed:-0}" -gt 200
        else
            fail "the second program opens its Video Monitor"
        fi
    else
        fail "a second program starts on the same served board"
    fi
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
