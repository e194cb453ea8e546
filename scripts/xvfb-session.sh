# Sourced: one Xvfb display for a group of Wine runs, and a wineserver that
# stays up between them so each test does not pay Wine's start-up again.
xvfb_start() {
  local n
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then break; fi
  done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
}

xvfb_stop() {
  local prefix="${KESTREL_WINEPREFIX:-$ROOT/build/wineprefix}"
  WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" >/dev/null 2>&1 || true
  unset XVFB_PID
}
