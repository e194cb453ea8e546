#!/usr/bin/env bash
# Runs a command as on a machine whose kernel runs no 32-bit code, to check the
# x86-64 path of the test command and the main job on a machine that has both:
#   bash scripts/as-64bit-only.sh bash scripts/main-job.sh
# In a private mount namespace (so it needs root) the 32-bit Wine loader is
# covered by one that fails as such a kernel does: scripts/wine-arch.sh then
# chooses the x86-64 build, and a 32-bit program fails to start, whether the
# scripts start it or a Windows program does. The command gets its own Wine
# prefix, because one made where 32-bit programs ran is not what such a
# machine has.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
LOADER32=/usr/lib/wine/wine

if [ "$#" -eq 0 ]; then
  echo "usage: as-64bit-only.sh COMMAND [ARGUMENT...]" >&2
  exit 2
fi
if [ "$(id -u)" != 0 ]; then
  echo "as-64bit-only: needs root for a private mount namespace" >&2
  exit 1
fi
if ! "$LOADER32" --version >/dev/null 2>&1; then
  echo "as-64bit-only: this machine runs no 32-bit Wine already" >&2
  exec "$@"
fi

refused="$(mktemp)"
trap 'rm -f "$refused"' EXIT
cat >"$refused" <<'EOF'
#!/bin/sh
echo "$0: cannot execute binary file: Exec format error" >&2
exit 126
EOF
chmod +x "$refused"

export KESTREL_WINEPREFIX="${KESTREL_WINEPREFIX:-$ROOT/build/wineprefix-64only}"
unshare --mount --propagation private -- \
  bash -c 'mount --bind "$1" "$2" && shift 2 && exec "$@"' as-64bit-only "$refused" "$LOADER32" "$@"
