#!/usr/bin/env bash
# Runs the Wayland desktop tests on headless compositors of their own.
#
#   scripts/test-wayland.sh BUILD_DIR                 the tests: wayland.* under
#                                                     sway (and a second sway
#                                                     without keyboard), weston.*
#                                                     under weston
#   scripts/test-wayland.sh BUILD_DIR ctest -R NAME   a subset of them
#   scripts/test-wayland.sh BUILD_DIR COMMAND [ARG]   COMMAND under sway instead
#                                                     (e.g. a benchmark)
set -euo pipefail

build_dir=$(cd "${1:?usage: test-wayland.sh BUILD_DIR [COMMAND...]}" && pwd)
shift

log() { printf 'test-wayland: %s\n' "$*" >&2; }

if [ ! -x "$build_dir/tests/wayland/te_wayland_tests" ]; then
  log "no Wayland tests in $build_dir (the Wayland desktop was not built)"
  exit 0
fi

. "$(dirname "$0")/lib/wayland.sh"
trap te_wl_stop EXIT

te_sway_start "$build_dir"
te_sway_start_bare
log "sway at $XDG_RUNTIME_DIR/$WAYLAND_DISPLAY, one without keyboard at $TE_WL_BARE_DISPLAY"
cd "$build_dir"
if [ $# -gt 0 ]; then
  "$@"
  exit
fi
ctest -R '^wayland\.' --output-on-failure
te_wl_stop

te_weston_start
log "weston at $XDG_RUNTIME_DIR/$WAYLAND_DISPLAY"
ctest -R '^weston\.' --output-on-failure
