#!/usr/bin/env bash
# Runs the X11 desktop tests under an Xvfb of their own.
#
#   scripts/test-x11.sh BUILD_DIR                 ctest -R x11 in BUILD_DIR
#   scripts/test-x11.sh BUILD_DIR COMMAND [ARG]   COMMAND instead (e.g. a benchmark)
#
# Picks a free display number (no lock file, no socket), starts Xvfb there
# with a US keyboard and no window manager, exports DISPLAY, and stops the
# server on every way out.
set -euo pipefail

build_dir=${1:?usage: test-x11.sh BUILD_DIR [COMMAND...]}
shift

log() { printf 'test-x11: %s\n' "$*" >&2; }

free_display() {
  local n
  for n in $(seq 98 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { echo "$n"; return; }
  done
  log "no free display number"; exit 1
}

wait_for_server() {
  local i
  for i in $(seq 1 100); do
    xdpyinfo -display ":$1" >/dev/null 2>&1 && return 0
    kill -0 "$xvfb_pid" 2>/dev/null || { log "Xvfb :$1 exited"; return 1; }
    sleep 0.1
  done
  log "Xvfb :$1 did not answer"; return 1
}

display_number=$(free_display)
Xvfb ":$display_number" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true' EXIT
wait_for_server "$display_number"
export DISPLAY=":$display_number"
log "Xvfb on $DISPLAY"

cd "$build_dir"
if [ $# -gt 0 ]; then
  "$@"
else
  ctest -R '^x11\.' --output-on-failure
fi
