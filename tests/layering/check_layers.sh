#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own, or of the port
# library's inside (only vanlpt/vanlpt.h and vanlpt/board_state.h are its interface). The
# rules are the README's table of folders. Usage: check_layers.sh [SOURCE_ROOT]
set -euo pipefail
cd "${1:-$(dirname "$0")/../..}"

public_library='vanlpt/vanlpt\.h|vanlpt/board_state\.h'
# What every window folder may use: the layers below the windows, the port window included.
below_windows="chip/|port/|shell/|${public_library}"
# folder (a path prefix; the longest that matches decides) -> what its files may include
declare -A allowed=(
    [board/]='board/'
    [vanlpt/]='vanlpt/|board/'
    [shell/]='shell/'
    [port/]="port/[a-z_]+\.h|shell/|${public_library}"
    [port/window/]="port/|shell/|${public_library}"
    [chip/]="chip/|port/[a-z_]+\.h|shell/|${public_library}"
    [cli/]="cli/|chip/|port/[a-z_]+\.h|shell/|${public_library}"
    [python/]="python/|chip/|port/[a-z_]+\.h|shell/|${public_library}"
    [tools/]="chip/|port/[a-z_]+\.h|shell/|${public_library}"
    [ui/]="ui/|chip/|port/|shell/|${public_library}"
    [ui/qt/]="ui/qt/|shell/"
    [ui/widgets/]="ui/widgets/|${below_windows}"
    [ui/monitor/]="ui/monitor/|ui/widgets/|${below_windows}"
    [ui/help/]="ui/help/|${below_windows}"
    [ui/text_dialog/]="ui/text_dialog/|${below_windows}"
    [ui/drawing/]="ui/drawing/|ui/text_dialog/|ui/widgets/|${below_windows}"
    [ui/channel_window/]="ui/channel_window/|ui/drawing/|ui/help/|ui/text_dialog/|ui/widgets/|${below_windows}"
    [ui/crosspoint/]="ui/crosspoint/|ui/channel_window/|ui/monitor/|ui/widgets/|${below_windows}"
    [ui/main_window/]="ui/main_window/|ui/crosspoint/|ui/channel_window/|ui/monitor/|ui/drawing/|ui/help/|ui/text_dialog/|ui/widgets/|${below_windows}"
    [ui/app/]="ui/|chip/|port/|shell/|${public_library}"
)

# The tree's source files matching the patterns: git's list in a clone, else a walk of the
# folders (an unpacked release, or a machine without git), build folders left out.
source_files() {
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git ls-files "$@"
        return
    fi
    local names=()
    for pattern in "$@"; do names+=(-o -name "$pattern"); done
    find . \( -path './build*' -o -path './.*' \) -prune -o -type f \( "${names[@]:1}" \) -print |
        sed 's|^\./||' | sort
}

rule_for() {
    local file=$1 best=""
    for folder in "${!allowed[@]}"; do
        if [[ $file == "$folder"* && ${#folder} -gt ${#best} ]]; then best=$folder; fi
    done
    echo "$best"
}

violations=0
while IFS= read -r file; do
    folder=$(rule_for "$file")
    [ -n "$folder" ] || continue
    while IFS= read -r header; do
        if ! [[ $header =~ ^(${allowed[$folder]}) ]]; then
            rule=${allowed[$folder]//'[a-z_]+\.h'/'*.h'}
            rule=${rule//'\.'/.}
            echo "$file includes \"$header\": files in $folder may include only ${rule//|/, }"
            violations=$((violations + 1))
        fi
    done < <(sed -nE 's/^#include "([^"]+)".*/\1/p' "$file")
done < <(source_files '*.cpp' '*.h')

# No file reaches itself through its includes: tsort finds every loop in the include graph.
while IFS= read -r file; do
    sed -nE "s|^#include \"([^\"]+)\".*|$file \1|p" "$file"
done < <(source_files '*.h') >"${TMPDIR:-/tmp}/include-graph.$$"
if ! loops=$(tsort "${TMPDIR:-/tmp}/include-graph.$$" 2>&1 >/dev/null); [ -n "$loops" ]; then
    echo "include cycle among headers:"
    echo "$loops" | sed 's/^tsort: /  /'
    violations=$((violations + 1))
fi
rm -f "${TMPDIR:-/tmp}/include-graph.$$"

files=$(source_files '*.cpp' '*.h' | wc -l)
if [ "$violations" -gt 0 ]; then
    echo "$violations include(s) against the layering, in $files files"
    exit 1
fi
echo "layering holds in $files files"
