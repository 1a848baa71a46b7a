#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own, or of the port
# library's inside (only vanlpt/vanlpt.h and vanlpt/board_state.h are its interface). The
# rules are the README's table of folders. Usage: check_layers.sh [SOURCE_ROOT]
set -euo pipefail
cd "${1:-$(dirname "$0")/../..}"

public_library='vanlpt/vanlpt\.h|vanlpt/board_state\.h'
# folder (a path prefix; the longest that matches decides) -> what its files may include
declare -A allowed=(
    [board/]='board/'
    [vanlpt/]='vanlpt/|board/'
    [shell/]='shell/'
    [port/]="port/[a-z_]+\.h|shell/|${public_library}"
    [port/window/]="port/|shell/|${public_library}"
    [chip/]="chip/|port/[a-z_]+\.h|shell/|${public_library}"
    [cli/]="cli/|chip/|port/[a-z_]+\.h|shell/|${public_library}"
    [ui/]="ui/|chip/|port/|shell/|${public_library}"
)

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
done < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h' | sed 's|^\./||')

files=$(git ls-files '*.cpp' '*.h' | wc -l)
if [ "$violations" -gt 0 ]; then
    echo "$violations include(s) against the layering, in $files files"
    exit 1
fi
echo "layering holds in $files files"
