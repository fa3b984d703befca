#!/usr/bin/env bash
# The tree's one format (.clang-format).
#   scripts/format.sh           reformats every tracked C and C++ file
#   scripts/format.sh --check   lists the files that differ, fails if any does
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh clang-format
mapfile -t files < <(git ls-files '*.c' '*.h' '*.cpp')
if [ "${1:-}" = "--check" ]; then
  clang-format --dry-run --Werror "${files[@]}"
else
  clang-format -i "${files[@]}"
fi
