#!/usr/bin/env bash
# Fails when a C++ file of the tree is not formatted as the repository's .clang-format says.
# Mend with: git ls-files '*.cpp' '*.h' | xargs clang-format -i
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
echo "clang-format: $(git ls-files '*.cpp' '*.h' | wc -l) files as .clang-format says"
