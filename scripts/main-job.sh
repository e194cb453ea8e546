#!/usr/bin/env bash
# The main job: builds the programs, makes the sample movie, opens the sample
# project (samples/hello/hello.kstl) in the builder under Wine and exports it
# as a projector with the builder's Export command, runs that projector for a
# few seconds, takes a screenshot of each program, closes them and prints what
# happened.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

bash scripts/bootstrap.sh
source scripts/wine-arch.sh

# Build folders are build/<preset> unless KESTREL_BUILD_PREFIX says otherwise
# (e.g. build/mine- gives build/mine-native, build/mine-win32, ...).
PREFIX="${KESTREL_BUILD_PREFIX:-build/}"
source scripts/build.sh
build native swfc kestrel-cli
build win32 kestrel skylet npfp      # the shipping 32-bit programs
if [ "$KESTREL_TEST_PRESET" != win32 ]; then
  echo "(this machine cannot run 32-bit code: the projector runs from the x86-64 build)"
fi
build "$KESTREL_TEST_PRESET" kestrel kestrel_probe skylet skylet_probe

OUT="$ROOT/build/main-job"
rm -rf "$OUT"
mkdir -p "$OUT"

echo "== sample movie"
"${PREFIX}native"/tools/swfwriter/swfc samples/hello/hello.swfdesc -o "$OUT/hello.swf"

# The sample names its movie and output folder relative to itself; the
# builder takes relative paths against its own folder (kestrel-cli against
# the project's), so the copy it opens names them in full.
OUT_WIN="$(printf 'Z:%s' "$OUT" | tr / '\\')"
sed -e "s|swf=\"hello.swf\"|swf=\"${OUT_WIN//\\/\\\\}\\\\hello.swf\"|" \
  -e "s|output_folder=\".\"|output_folder=\"${OUT_WIN//\\/\\\\}\"|" \
  samples/hello/hello.kstl >"$OUT/hello.kstl"

export KESTREL_WINEPREFIX="${KESTREL_WINEPREFIX:-$ROOT/build/wineprefix}"
source scripts/xvfb-session.sh
xvfb_start
trap xvfb_stop EXIT

# Runs a probe under Wine; takes a screenshot into $3 once it prints "hold".
run_probe() {
  local report="$1" log="$2" shot="$3"
  shift 3
  scripts/wine-run.sh "$@" >"$report" 2>"$log" &
  local probe=$!
  for _ in $(seq 1 900); do
    grep -q '^hold' "$report" 2>/dev/null && break
    kill -0 "$probe" 2>/dev/null || break
    sleep 0.1
  done
  if grep -q '^hold' "$report"; then import -window root "$shot"; fi
  local status=0
  wait "$probe" || status=$?
  tr -d '\r' <"$report" | grep -v '^hold$' || true
  [ -f "$shot" ] && echo "screenshot: $shot"
  return "$status"
}

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

echo "== builder: open the sample project and export it"
status=0
run_probe "$OUT/builder-report.txt" "$OUT/builder-wine.log" "$OUT/builder.png" \
  "$PREFIX$KESTREL_TEST_PRESET/tests/support/kestrel_probe.exe" \
  "$(winpath "$(realpath -m "$PREFIX$KESTREL_TEST_PRESET/builder/ui/kestrel.exe")")" \
  "$(winpath "$OUT/hello.kstl")" 3 || status=$?
if [ "$status" -ne 0 ] || [ ! -f "$OUT/hello.exe" ]; then
  echo "main job: FAILED (the builder did not export the projector)"
  exit 1
fi
"${PREFIX}native"/builder/cli/kestrel-cli list "$OUT/hello.exe"
ls -l "$OUT/hello.exe"

echo "== projector: run under Wine + Xvfb"
status=0
run_probe "$OUT/report.txt" "$OUT/wine.log" "$OUT/shot.png" \
  "$PREFIX$KESTREL_TEST_PRESET/tests/support/skylet_probe.exe" "$(winpath "$OUT/hello.exe")" 4 ||
  status=$?
if [ "$status" -eq 0 ]; then echo "main job: OK"; else echo "main job: FAILED ($status)"; fi
exit "$status"
