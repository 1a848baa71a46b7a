#!/usr/bin/env bash
# One pass of the real-X smoke suite: the program from BUILD_DIR on the simulated board under
# Xvfb and openbox, as a user drives it. Prints a PASS or FAIL line per check and the
# screenshots go to OUT_DIR. Usage: tests/x11/smoke.sh BUILD_DIR OUT_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
work=$2
mkdir -p "$work"
# shellcheck source=tests/x11/lib.sh
source "$here/lib.sh"
trap stop_x EXIT
trap "exit 143" TERM INT

# Captions.
readonly MEMORY_BOX='^Vantor Evaluation Kit$'
# The drawing windows' captions grow the position under the pointer.
readonly MAIN='^Osdex On-Screen Display: Multi-Cha'
readonly CHANNEL0='^Osdex Channel 0( |$)'
readonly HIDDEN_CHANNELS='^Osdex Channel [1-7]( |$)'
readonly TEXT_DIALOG='^Osdex Character Generator$'
readonly CLOSE_QUESTION='^RUDIRUVUVA$'
readonly MONITOR='^Video Monitor$'

# Client coordinates at the windows' start sizes (Fusion style, DejaVu fonts).
readonly MAIN_ERASE=(329 35)
readonly MAIN_SOLID_RECT=(323 65)
readonly MAIN_TEXT=(404 65)
readonly MAIN_LEVEL_15=(15 96)
readonly MAIN_PICTURE=(6 135) # picture pixel (0, 0)
readonly CHANNEL_REGISTERS=(493 15)
readonly CHANNEL_SHARE_TOOL=(311 46)
readonly CHANNEL_PICTURE=(279 94) # with the register pane open
readonly CHANNEL_SHRBEG=(150 371)

readonly BLUE='#0000FF'  # level 0, transparent
readonly WHITE='#FFFFFF' # level 15
readonly RED='#FF0000'
readonly ACTIVE_CAPTION='#308CC6' # the style's active highlight

# main_pixel FILE X Y / channel_pixel FILE X Y: at picture coordinates.
main_pixel_is() {
    pixel_is "$1" "$main" $((MAIN_PICTURE[0] + $2)) $((MAIN_PICTURE[1] + $3)) "$4"
}
channel_pixel_is() {
    pixel_is "$1" "$channel0" $((CHANNEL_PICTURE[0] + $2)) $((CHANNEL_PICTURE[1] + $3)) "$4"
}

# A white bar of the test pattern's vertical bars on the main picture, in view.
main_shows() {
    screenshot "$work/poll.png" && main_pixel_is "$work/poll.png" 100 270 "$1" >/dev/null
}

# No channel window 1..7 is mapped, whatever Qt thinks of them.
no_ghost_windows() {
    local id
    for id in $(all_windows "$HIDDEN_CHANNELS"); do
        if [ "$(map_state "$id")" = IsViewable ]; then
            echo "    mapped: $(xdo getwindowname "$id")"
            return 1
        fi
    done
    window_gone "$HIDDEN_CHANNELS"
}

main_is_active() {
    [ "$(xdo getactivewindow)" = "$main" ]
}

main_and_channel0_shown() {
    window_visible "$MAIN" && window_visible "$CHANNEL0"
}
shown() {
    [ "$(map_state "$1")" = IsViewable ]
}

expect_captions() {
    local got
    got=$(visible_captions)
    [ "$got" = "$1" ] || {
        echo "    mapped: $(tr '\n' '|' <<<"$got")"
        return 1
    }
}

start_up() {
    (cd "$build/ui" && VANLPT_PORTS="1=sim,2=none,3=none" exec ./osdex-eval-kit) \
        >"$work/program.log" 2>&1 &
    program_pid=$!
    if ! wait_until 20 window_visible "$MEMORY_BOX"; then
        fail "the memory box comes up"
        return 1
    fi
    pass "the memory box comes up"
    check "the memory box is the only window at first" expect_captions "Vantor Evaluation Kit"
    screenshot "$work/1_memory_box.png"
    keys "$(visible_windows "$MEMORY_BOX")" Return
    if ! wait_until 20 main_and_channel0_shown; then
        fail "the main window and channel window 0 come up after the box"
        return 1
    fi
    sleep 0.5
    check "only the main window and channel window 0 are mapped" expect_captions \
        "$(printf 'Osdex Channel 0\nOsdex On-Screen Display: Multi-Channel Write')"
    main=$(visible_windows "$MAIN")
    channel0=$(visible_windows "$CHANNEL0")
    # Apart, so that neither covers the other's picture.
    xdo windowmove --sync "$channel0" 800 80
    xdo windowmove --sync "$main" 40 80
    sleep 0.3
    screenshot "$work/2_started.png"
}

test_pattern_and_erase() {
    keys "$main" F10
    check "F10 draws the test pattern" wait_until 30 main_shows "$WHITE"
    wait_until 10 main_and_channel0_shown
    sleep 0.5
    screenshot "$work/3_test_pattern.png"
    check "F10 leaves channel windows 1..7 unmapped" no_ghost_windows
    check "F10 ends with the main window and channel window 0 shown" main_and_channel0_shown
    check "F10 ends with the main window active, ready for the next key" main_is_active

    click "$main" "${MAIN_ERASE[@]}"
    check "Erase clears the main picture" wait_until 30 main_shows "$BLUE"
    wait_until 10 main_and_channel0_shown
    sleep 0.5
    screenshot "$work/4_erased.png"
    check "Erase leaves channel windows 1..7 unmapped" no_ghost_windows
    check "Erase ends with the main window and channel window 0 shown" main_and_channel0_shown
}

drawing_tools() {
    click "$main" "${MAIN_LEVEL_15[@]}"
    click "$main" "${MAIN_SOLID_RECT[@]}"
    screenshot "$work/5_before_rect.png"
    drag "$main" $((MAIN_PICTURE[0] + 40)) $((MAIN_PICTURE[1] + 40)) \
        $((MAIN_PICTURE[0] + 140)) $((MAIN_PICTURE[1] + 100))
    screenshot "$work/6_rect.png"
    check "the picture is blue before the rectangle" main_pixel_is "$work/5_before_rect.png" 90 70 "$BLUE"
    check "a solid rectangle paints the picture on screen" main_pixel_is "$work/6_rect.png" 90 70 "$WHITE"
    check "the picture beside the rectangle stays blue" main_pixel_is "$work/6_rect.png" 200 70 "$BLUE"

    click "$main" "${MAIN_TEXT[@]}"
    click "$main" $((MAIN_PICTURE[0] + 60)) $((MAIN_PICTURE[1] + 200))
    if ! wait_until 10 window_visible "$TEXT_DIALOG"; then
        fail "the text tool opens the text dialog"
        return
    fi
    pass "the text tool opens the text dialog"
    screenshot "$work/7_text_dialog.png"
    keys "$(visible_windows "$TEXT_DIALOG")" Return
    check "OK closes the text dialog" wait_until 10 window_gone "$TEXT_DIALOG"
    sleep 0.5
    screenshot "$work/8_text.png"
    local changed
    changed=$(changed_pixels "$work/6_rect.png" "$work/8_text.png" "$main" \
        $((MAIN_PICTURE[0] + 55)) $((MAIN_PICTURE[1] + 195)) 300 45)
    check "the text tool paints text on the picture ($changed pixels changed)" \
        test "${changed:-0}" -gt 1000
}

shared_band() {
    click "$channel0" "${CHANNEL_REGISTERS[@]}"
    click "$channel0" "${CHANNEL_SHARE_TOOL[@]}"
    drag "$channel0" $((CHANNEL_PICTURE[0] + 100)) $((CHANNEL_PICTURE[1] + 100)) \
        $((CHANNEL_PICTURE[0] + 200)) $((CHANNEL_PICTURE[1] + 160))
    screenshot "$work/9_band.png"
    check "the shared band is painted in the active-caption colour" \
        channel_pixel_is "$work/9_band.png" 8 130 "$ACTIVE_CAPTION"
    # SHRBEG beyond SHREND: the band warns in red over SHREND..SHRBEG.
    click "$channel0" "${CHANNEL_SHRBEG[@]}"
    keys "$channel0" ctrl+a 3 0 0 Tab
    screenshot "$work/10_band_reversed.png"
    check "a reversed shared range paints the band red" \
        channel_pixel_is "$work/10_band_reversed.png" 8 230 "$RED"
}

# The Video Monitor from the View menu follows what the main window draws.
monitor_live() {
    keys "$main" alt+v m
    if ! wait_until 10 window_visible "$MONITOR"; then
        fail "View > Video Monitor opens the monitor"
        return
    fi
    pass "View > Video Monitor opens the monitor"
    local monitor
    monitor=$(visible_windows "$MONITOR")
    xdo windowmove --sync "$monitor" 760 300
    sleep 0.5
    screenshot "$work/12_monitor.png"
    click "$main" "${MAIN_SOLID_RECT[@]}"
    drag "$main" $((MAIN_PICTURE[0] + 300)) $((MAIN_PICTURE[1] + 300)) \
        $((MAIN_PICTURE[0] + 420)) $((MAIN_PICTURE[1] + 380))
    sleep 1
    screenshot "$work/13_monitor_rect.png"
    local changed
    changed=$(changed_pixels "$work/12_monitor.png" "$work/13_monitor_rect.png" "$monitor" \
        0 0 420 760)
    check "the monitor's pixels change when a solid rectangle is drawn ($changed pixels)" \
        test "${changed:-0}" -gt 200
    keys "$monitor" alt+F4
    check "the monitor closes" wait_until 10 window_gone "$MONITOR"
}

close_question() {
    keys "$main" alt+F4
    if ! wait_until 10 window_visible "$CLOSE_QUESTION"; then
        fail "closing the main window asks the close question"
        return
    fi
    pass "closing the main window asks the close question"
    screenshot "$work/11_close_question.png"
    keys "$(visible_windows "$CLOSE_QUESTION")" alt+n
    sleep 0.5
    check "No keeps the program running" program_running
    check "No keeps the main window" shown "$main"
    keys "$main" alt+F4
    wait_until 10 window_visible "$CLOSE_QUESTION" &&
        keys "$(visible_windows "$CLOSE_QUESTION")" alt+y
    if wait_until 15 eval '! program_running'; then
        wait "$program_pid"
        local code=$?
        program_pid=""
        check "Yes ends the program (exit code $code)" test "$code" -eq 0
    else
        fail "Yes ends the program"
    fi
}

if ! start_x "$work"; then
    fail "Xvfb and openbox start"
else
    echo "display $DISPLAY, LC_ALL=${LC_ALL:-}, screenshots in $work"
    if start_up; then
        test_pattern_and_erase
        drawing_tools
        shared_band
        monitor_live
        close_question
    fi
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
