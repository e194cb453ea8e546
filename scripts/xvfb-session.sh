# Sourced: one Xvfb display for a group of Wine runs, and a wineserver that
# stays up between them so each test does not pay Wine's start-up again.
# xvfb_start fails when the display does not come up, and sets an EXIT trap so
# the display and the wineserver are stopped however the caller ends;
# xvfb_stop may still be called early and more than once.
xvfb_start() {
  local n
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then break; fi
  done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  trap xvfb_stop EXIT
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  if ! kill -0 "$XVFB_PID" 2>/dev/null || ! xdpyinfo -display ":$n" >/dev/null 2>&1; then
    echo "xvfb: display :$n did not come up" >&2
    xvfb_stop
    return 1
  fi
}

xvfb_stop() {
  local prefix="${KESTREL_WINEPREFIX:-${ROOT:-.}/build/wineprefix}"
  WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" >/dev/null 2>&1 || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
  unset XVFB_PID
}
