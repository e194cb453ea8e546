#!/usr/bin/env bash
# Checks that every C and C++ source of the project is formatted as .clang-format says.
# Lists the files that differ and fails; nothing is rewritten. Build folders are skipped.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files -- '*.c' '*.cpp' '*.h' ':!:build/**')
else
  mapfile -t files < <(find . -path ./build -prune -o -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.h' \) -print)
fi
[ "${#files[@]}" -gt 0 ] || { echo "format: no sources found" >&2; exit 1; }

bad=()
for f in "${files[@]}"; do
  [ -f "$f" ] || continue
  clang-format --style=file --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if [ "${#bad[@]}" -gt 0 ]; then
  echo "format: ${#bad[@]} of ${#files[@]} files differ from .clang-format (clang-format -i fixes them):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "format: ${#files[@]} files as .clang-format says"
