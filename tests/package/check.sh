#!/usr/bin/env bash
# The Debian package as a user gets it: built from BUILD_DIR, its file list and control
# fields, lintian (errors fail), then unpacked into a scratch root whose path has a blank and
# run from there: osdex on the simulated board, and the program started as its desktop entry
# starts it, under Xvfb and openbox, in a home folder without the data files: F10 draws the
# installed logo, F1 hands the installed help page to xdg-open. Prints a PASS or FAIL line
# per check and exits non-zero on any failure. Usage: tests/package/check.sh BUILD_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_root=$(cd "$here/../.." && pwd)
if [ $# -ne 1 ] || [ ! -f "$1/CMakeCache.txt" ]; then
    echo "usage: tests/package/check.sh BUILD_DIR (a configured build folder)" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
"$source_root/scripts/install-deps.sh" --package || exit 2
started=$SECONDS

work=$build/package-check
rm -rf "$work"
mkdir -p "$work"
# shellcheck source=tests/x11/lib.sh
source "$source_root/tests/x11/lib.sh"
trap stop_x EXIT
trap "exit 143" TERM INT

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
deb=$build/osdex-eval-kit_${version}_${arch}.deb
rm -f "$deb"
if ! cmake --build "$build" --target package -j1 >"$work/cpack.log" 2>&1 || [ ! -f "$deb" ]; then
    cat "$work/cpack.log"
    fail "the package builds as $(basename "$deb")"
    echo "$passed passed, $failed failed"
    exit 1
fi
pass "the package builds as $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB)"

# --- file list -----------------------------------------------------------------------------
dpkg-deb -c "$deb" >"$work/contents.txt"
awk '{print $6}' "$work/contents.txt" | sed 's|^\./|/|; s|/$||' >"$work/paths.txt"
has_paths() {
    local path missing=0
    for path in "$@"; do
        grep -qxF "$path" "$work/paths.txt" || {
            echo "    missing: $path"
            missing=1
        }
    done
    return $missing
}
check "the package holds both programs, the data files, the desktop entry, icons, man pages and docs" \
    has_paths /usr/bin/osdex-eval-kit /usr/bin/osdex \
    /usr/share/osdex-eval-kit/HELPFILE.HTM /usr/share/osdex-eval-kit/VANLOGO1A.BMP \
    /usr/share/osdex-eval-kit/screenshots/main_window.png \
    /usr/libexec/osdex-eval-kit/start-from-menu \
    /usr/share/applications/osdex-eval-kit.desktop \
    /usr/share/icons/hicolor/scalable/apps/osdex-eval-kit.svg \
    /usr/share/icons/hicolor/48x48/apps/osdex-eval-kit.png \
    /usr/share/man/man1/osdex-eval-kit.1.gz /usr/share/man/man1/osdex.1.gz \
    /usr/share/doc/osdex-eval-kit/copyright /usr/share/doc/osdex-eval-kit/changelog.gz \
    /usr/share/doc/osdex-eval-kit/README.Debian /usr/share/doc/osdex-eval-kit/README.md \
    /usr/lib/python3/dist-packages/osdex/__init__.py /usr/lib/python3/dist-packages/osdex/py.typed \
    /usr/lib/python3/dist-packages/osdex/pytest_plugin.py \
    /usr/share/doc/osdex-eval-kit/examples/python/test_monitor.py
outside_layout() {
    local own='/bin(/osdex|/osdex-eval-kit)?|/libexec(/osdex-eval-kit(/start-from-menu)?)?'
    own+='|/lib(/python3(/dist-packages(/osdex(/[^/]+)?)?)?)?'
    own+='|/share(/applications(/osdex-eval-kit\.desktop)?|/doc(/osdex-eval-kit(/.*)?)?'
    own+='|/icons(/hicolor(/.*)?)?|/lintian(/overrides(/osdex-eval-kit)?)?|/man(/man1(/osdex(-eval-kit)?\.1\.gz)?)?|/osdex-eval-kit(/.*)?)?'
    grep -v '^$' "$work/paths.txt" | grep -vE "^/usr($own)?$"
}
check "nothing else: no test, benchmark or build file, nothing outside the package's folders" \
    test -z "$(outside_layout)"
check "every entry belongs to root, nothing is set-uid or set-gid" \
    test -z "$(awk '$2 != "root/root" || $1 ~ /[sS]/' "$work/contents.txt")"

# --- control fields ------------------------------------------------------------------------
dpkg-deb -I "$deb" >"$work/info.txt"
field() { dpkg-deb -f "$deb" "$1"; }
check "Package osdex-eval-kit, Version $version, Architecture $arch" \
    test "$(field Package) $(field Version) $(field Architecture)" = "osdex-eval-kit $version $arch"
depends_on() {
    local p
    for p in "$@"; do
        field Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qxF "$p" || {
            echo "    Depends lacks $p: $(field Depends)"
            return 1
        }
    done
}
check "Depends names the Qt and C++ libraries, the fonts, xdg-utils, python3 and numpy" \
    depends_on libqt6widgets6 libqt6gui6 libstdc++6 libc6 fonts-liberation2 fonts-dejavu-core xdg-utils \
    python3 python3-numpy
check "Section electronics, with a maintainer and a description" \
    test "$(field Section)" = electronics -a -n "$(field Maintainer)" -a -n "$(field Description)"

# --- lintian -------------------------------------------------------------------------------
# As root lintian says so on stderr; that line is no finding.
lintian --display-info --fail-on error "$deb" >"$work/lintian.txt" 2>"$work/lintian.err"
lintian_status=$?
sed 's/^/    /' "$work/lintian.txt"
check "lintian finds no error ($(grep -c '^W: ' "$work/lintian.txt") warnings, $(grep -c '^I: ' "$work/lintian.txt") infos)" \
    test "$lintian_status" -eq 0 -a -z "$(grep '^E: ' "$work/lintian.txt")"

# --- unpacked into a scratch root ----------------------------------------------------------
root="$work/scratch root"
mkdir -p "$root"
dpkg -x "$deb" "$root"
desktop=$root/usr/share/applications/osdex-eval-kit.desktop
check "the desktop entry is valid" desktop-file-validate "$desktop"
check "the README's pictures are found beside it" \
    test -f "$root/usr/share/doc/osdex-eval-kit/docs/screenshots/desktop_entry.png"
check "the desktop entry is in Development and Electronics" \
    grep -qx 'Categories=Development;Electronics;' "$desktop"
for page in osdex-eval-kit osdex; do
    check "man $page formats without a warning" \
        test -z "$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)"
done

osdex=$root/usr/bin/osdex
check "the installed osdex --version says $version" test "$("$osdex" --version)" = "osdex $version"
read_133() { (cd "$work" && "$osdex" --port sim read 133); }
check "the installed osdex --port sim read 133 reads LOSALL 0" test "$(read_133)" = 0

# The Python module from the unpacked dist-packages, with Debian's python3, and the examples
# the package carries run against it.
python_path=$root/usr/lib/python3/dist-packages
import_osdex() {
    (cd "$work" && PYTHONPATH=$python_path /usr/bin/python3 -c \
        'import osdex, sys; sys.exit(0 if osdex.__file__.startswith(sys.argv[1]) else 1)' "$python_path")
}
check "the installed Python module imports from the unpacked root" import_osdex
cp -r "$root/usr/share/doc/osdex-eval-kit/examples/python" "$work/examples"
run_examples() {
    (cd "$work/examples" && PYTHONPATH=$python_path PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 \
        -m pytest -q -p no:cacheprovider --rootdir=. . >"$work/examples.log" 2>&1) ||
        { sed 's/^/    /' "$work/examples.log"; return 1; }
}
check "the installed examples pass against the installed module" run_examples

# --- the program from its desktop entry, under X ---------------------------------------------
home="$work/home dir"
fake_bin=$work/bin
mkdir -p "$home" "$fake_bin"
# Records what Help hands to the desktop's file opener.
cat >"$fake_bin/xdg-open" <<'SCRIPT'
#!/bin/sh
printf '%s\n' "$@" >"$XDG_OPEN_ARGS.part" && mv "$XDG_OPEN_ARGS.part" "$XDG_OPEN_ARGS"
SCRIPT
chmod +x "$fake_bin/xdg-open"
export XDG_OPEN_ARGS=$work/xdg-open.args

readonly MEMORY_BOX='^Vantor Evaluation Kit$'
readonly MAIN='^Osdex On-Screen Display: Multi-Cha'
readonly CHANNEL0='^Osdex Channel 0( |$)'
readonly MAIN_PICTURE=(6 135)
main_and_channel0_shown() { window_visible "$MAIN" && window_visible "$CHANNEL0"; }
# Blue pixels (level 0) of the main picture where the logo goes, 100..499 x 150..213.
logo_blue_pixels() {
    screenshot "$work/poll.png" && window_origin "$main" || return 1
    convert "$work/poll.png" -crop "400x64+$((ORIGIN_X + MAIN_PICTURE[0] + 100))+$((ORIGIN_Y + MAIN_PICTURE[1] + 150))" \
        +repage -fill black +opaque '#0000FF' -fill white -opaque '#0000FF' -format '%[fx:int(mean*w*h+0.5)]' info:
}
logo_drawn() { test "$(logo_blue_pixels)" = 0; }
help_opened() { [ -s "$XDG_OPEN_ARGS" ]; }

# The command of the desktop entry, with the scratch root in place of /.
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
if ! start_x "$work"; then
    fail "Xvfb and openbox start"
else
    # No real port: the simulated board stands in, as on a machine without one.
    (cd / && HOME=$home PATH="$fake_bin:$PATH" VANLPT_PORTS="1=sim,2=none,3=none" \
        exec "$root$exec_line") >"$work/program.log" 2>&1 &
    program_pid=$!
    if wait_until 20 window_visible "$MEMORY_BOX"; then
        pass "started from its desktop entry, the program shows the memory box"
        keys "$(visible_windows "$MEMORY_BOX")" Return
    else
        fail "started from its desktop entry, the program shows the memory box"
    fi
    if wait_until 20 main_and_channel0_shown; then
        check "it works in ~/Osdex, made at its first start" \
            test "$(readlink "/proc/$program_pid/cwd")" = "$home/Osdex"
        check "~/Osdex holds no logo or help page of its own" \
            test -z "$(ls -A "$home/Osdex")"
        main=$(visible_windows "$MAIN")
        xdo windowmove --sync "$(visible_windows "$CHANNEL0")" 800 80
        xdo windowmove --sync "$main" 40 80
        sleep 0.5
        check "the logo's place is blue before F10" test "$(logo_blue_pixels)" = 25600
        keys "$main" F10
        check "F10 draws the installed logo" wait_until 30 logo_drawn
        wait_until 10 main_and_channel0_shown
        sleep 0.5
        screenshot "$work/test_pattern.png"
        check "F10 shows no error box" test -z "$(visible_windows '^Osdex Evaluation Kit$')"
        keys "$main" F1
        check "F1 hands the installed help page to xdg-open" wait_until 10 help_opened
        check "xdg-open gets the page's full path, blank and all" \
            test "$(cat "$XDG_OPEN_ARGS" 2>/dev/null)" = "$root/usr/share/osdex-eval-kit/HELPFILE.HTM"
    else
        fail "the main window and channel window 0 come up"
    fi
fi
stop_x
echo "package check: $((SECONDS - started)) s, screenshots and logs in $work"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
