#!/usr/bin/env bash
# Builds everything and runs every test: native (portable code), Windows
# programs under Wine + Xvfb, and a short fuzz smoke run.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

bash scripts/bootstrap.sh
source scripts/wine-arch.sh

JOBS="${KESTREL_JOBS:-$(nproc)}"
build() {
  echo "== $1 build"
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -j "$JOBS"
}
build native
build win32                      # the shipping 32-bit programs
if [ "$KESTREL_TEST_PRESET" != win32 ]; then
  echo "(this machine cannot run 32-bit code: the Windows tests run the x86-64 build)"
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
