#!/usr/bin/env bash
# Builds everything and runs every test: native (portable code), Windows
# programs under Wine + Xvfb, and a short fuzz smoke run.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

bash scripts/bootstrap.sh

JOBS="${KESTREL_JOBS:-$(nproc)}"
echo "== native build"
cmake --preset native >/dev/null
cmake --build --preset native -j "$JOBS"
echo "== win32 build"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$JOBS"

status=0
echo "== native tests"
ctest --preset native -j "$JOBS" || status=1

echo "== Windows tests (Wine + Xvfb)"
source scripts/xvfb-session.sh
xvfb_start
ctest --preset win32 || status=1
xvfb_stop

echo "== fuzz smoke run"
bash scripts/fuzz.sh smoke || status=1

exit $status
