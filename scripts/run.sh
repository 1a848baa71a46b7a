#!/usr/bin/env bash
# Builds the program and starts it, on the simulated evaluation board unless a real
# parallel port is present (see docs/port-backends.md and VANLPT_PORTS).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DOSDEX_BUILD_TESTS=OFF -DOSDEX_BUILD_BENCH=OFF
# The program finds its help page and logo beside it in this working folder.
cd build/ui
exec ./osdex-eval-kit "$@"
