#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs them.
#   fuzz.sh smoke          a few seconds per target (part of the test command)
#   fuzz.sh long SECONDS   a longer run per target
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
mode="${1:-smoke}"
seconds=5
[ "$mode" = long ] && seconds="${2:-600}"

source scripts/build.sh
build fuzz

failed=0
passed=0
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name="$(basename "$target")"
  corpus="build/fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds="fuzz/seeds/${name#fuzz_}"
  args=("$corpus")
  [ -d "$seeds" ] && args+=("$seeds")
  if "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 "${args[@]}" \
       >"build/fuzz/$name.log" 2>&1; then
    echo "fuzz $name: ok ($(grep -o 'stat::number_of_executed_units: [0-9]*' "build/fuzz/$name.log" | tail -n1 | awk '{print $2}') runs)"
    passed=$((passed + 1))
  else
    echo "fuzz $name: FAILED (see build/fuzz/$name.log)"
    tail -n 30 "build/fuzz/$name.log"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
