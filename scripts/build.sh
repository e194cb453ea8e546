# Sourced by the test command and the main job: one way to configure and build a preset.
#   build PRESET [TARGET...]   configures build/PRESET (or $KESTREL_BUILD_PREFIX$PRESET) and
#                              builds the targets, or everything when none are given.
# KESTREL_JOBS sets the parallel jobs; KESTREL_WERROR=ON makes every warning an error.
KESTREL_JOBS="${KESTREL_JOBS:-$(nproc)}"

build() {
  local preset="$1"; shift
  local dir="${KESTREL_BUILD_PREFIX:-build/}$preset"
  echo "== $preset build${*:+: $*}"
  cmake --preset "$preset" -B "$dir" -DKESTREL_WERROR="${KESTREL_WERROR:-OFF}" >/dev/null
  cmake --build "$dir" -j "$KESTREL_JOBS" ${*:+--target "$@"}
}
