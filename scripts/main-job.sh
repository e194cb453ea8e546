#!/usr/bin/env bash
# The main job: builds the programs, makes the sample movie, exports the
# sample project (samples/hello/hello.kstl) as a projector with kestrel-cli,
# runs that projector headless under Wine for a few seconds, takes a
# screenshot, closes it and prints what happened.
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
build win32 skylet npfp              # the shipping 32-bit programs
if [ "$KESTREL_TEST_PRESET" != win32 ]; then
  echo "(this machine cannot run 32-bit code: the projector runs from the x86-64 build)"
fi
build "$KESTREL_TEST_PRESET" skylet skylet_probe

OUT="$ROOT/build/main-job"
rm -rf "$OUT"
mkdir -p "$OUT"

echo "== sample movie"
"${PREFIX}native"/tools/swfwriter/swfc samples/hello/hello.swfdesc -o "$OUT/hello.swf"

echo "== projector"
# The project names its movie and output folder relative to itself.
cp samples/hello/hello.kstl "$OUT/hello.kstl"
"${PREFIX}native"/builder/cli/kestrel-cli export "$OUT/hello.kstl" \
  --stub "$PREFIX$KESTREL_TEST_PRESET/projector/app/skylet.exe" --overwrite
"${PREFIX}native"/builder/cli/kestrel-cli list "$OUT/hello.exe"
ls -l "$OUT/hello.exe"

echo "== run under Wine + Xvfb"
export KESTREL_WINEPREFIX="${KESTREL_WINEPREFIX:-$ROOT/build/wineprefix}"
source scripts/xvfb-session.sh
xvfb_start
trap xvfb_stop EXIT
PROBE="$PREFIX$KESTREL_TEST_PRESET/tests/support/skylet_probe.exe"
scripts/wine-run.sh "$PROBE" "$(printf 'Z:%s' "$OUT/hello.exe" | tr / '\\')" 4 >"$OUT/report.txt" 2>"$OUT/wine.log" &
probe=$!
for _ in $(seq 1 600); do
  grep -q '^hold' "$OUT/report.txt" 2>/dev/null && break
  kill -0 "$probe" 2>/dev/null || break
  sleep 0.1
done
if grep -q '^hold' "$OUT/report.txt"; then
  import -window root "$OUT/shot.png"
fi
status=0
wait "$probe" || status=$?
tr -d '\r' <"$OUT/report.txt" | grep -v '^hold$' || true
[ -f "$OUT/shot.png" ] && echo "screenshot: $OUT/shot.png"
if [ "$status" -eq 0 ]; then echo "main job: OK"; else echo "main job: FAILED ($status)"; fi
exit "$status"
