#!/usr/bin/env bash
# Runs a Windows program under Wine for tests: a private prefix (made once), a
# virtual display when none is set, quiet debug output, and the program's exit
# code passed through (Wine reports it modulo 256).
set -u
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${KESTREL_WINEPREFIX:-$ROOT/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

# Wine's 64-bit loader runs 64-bit programs; 32-bit ones need the 32-bit loader,
# which only works where the kernel runs 32-bit code.
WINE64=/usr/lib/wine/wine64
[ -x "$WINE64" ] || WINE64="$(command -v wine64 || command -v wine)"

init_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/.kestrel-ready" ]; then
    # Marked ready only when every step worked; a failed start is tried again next time.
    local logfile="$WINEPREFIX.setup.log"
    # Without a window manager Wine draws frames and captions itself.
    if ! { "$WINE64" wineboot -i &&
           "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f &&
           "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f &&
           wineserver -w; } >"$logfile" 2>&1; then
      echo "wine-run: setting up the Wine prefix $WINEPREFIX failed (log: $logfile)" >&2
      tail -n 20 "$logfile" >&2
      exit 1
    fi
    touch "$WINEPREFIX/.kestrel-ready"
  fi
  flock -u 9
  exec 9>&-
}

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s '-screen 0 1024x768x24' "$0" "$@"
fi

init_prefix
case "$(file -b "$1" 2>/dev/null)" in
  *x86-64*) exec "$WINE64" "$@" ;;
  *) exec wine "$@" ;;
esac
