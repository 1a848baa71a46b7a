#!/usr/bin/env bash
# Builds the Debian package of both programs in build-package/ (no tests, no benchmarks) and
# prints the path of the .deb as its last line; install it with sudo apt install ./FILE.deb.
# Installs what is missing first, as the other scripts do.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --package >&2
scripts/build.sh build-package -DOSDEX_BUILD_TESTS=OFF -DOSDEX_BUILD_BENCH=OFF >&2
# cpack's report goes to stderr as it comes (through the descriptor, never by reopening
# /dev/stderr, which a socket or another user's file refuses); its package line is kept.
deb=$( (cd build-package && cpack -G DEB) | while IFS= read -r line; do
    printf '%s\n' "$line" >&2
    if [[ $line =~ ^CPack:\ -\ package:\ (.*)\ generated\.$ ]]; then
        printf '%s\n' "${BASH_REMATCH[1]}"
    fi
done)
if [ -z "$deb" ] || [ ! -f "$deb" ]; then
    echo "package.sh: cpack made no package" >&2
    exit 1
fi
echo "$deb"
