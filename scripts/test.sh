#!/usr/bin/env bash
# Builds everything and runs every test: native (portable code), Windows
# programs under Wine + Xvfb, and a short fuzz smoke run.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

bash scripts/bootstrap.sh
source scripts/wine-arch.sh

JOBS="${KESTREL_JOBS:-$(nproc)}"
build() {  # preset [targets...]
  local preset="$1"; shift
  echo "== $preset build${*:+: $*}"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$JOBS" ${*:+--target "$@"}
}
build native
if [ "$KESTREL_TEST_PRESET" = win32 ]; then
  build win32
else
  # The shipping 32-bit programs must build; their tests run from the x86-64
  # build because this machine cannot run 32-bit code.
  build win32 skylet npfp kpack swfc
  build "$KESTREL_TEST_PRESET"
fi

status=0
echo "== native tests"
ctest --preset native -j "$JOBS" || status=1

echo "== Windows tests ($KESTREL_TEST_PRESET, Wine + Xvfb)"
source scripts/xvfb-session.sh
xvfb_start
ctest --preset "$KESTREL_TEST_PRESET" || status=1
xvfb_stop

echo "== fuzz smoke run"
bash scripts/fuzz.sh smoke || status=1

exit $status
