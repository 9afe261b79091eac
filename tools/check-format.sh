#!/usr/bin/env bash
# Fails when a C or C++ source of the tree differs from .clang-format.
# With --fix, formats the files in place instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t files < <(git ls-files '*.cc' '*.h' '*.c' '*.cpp')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
report=$(mktemp)
trap 'rm -f "$report"' EXIT
if clang-format --dry-run -Werror "${files[@]}" 2>"$report"; then
  echo "format: ${#files[@]} files as .clang-format has them"
else
  grep -o '^[^:]*:[0-9]*:[0-9]*: error' "$report" | cut -d: -f1 | sort -u | sed 's/^/format differs: /'
  echo "format: run tools/check-format.sh --fix"
  exit 1
fi
