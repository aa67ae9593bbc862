#!/usr/bin/env bash
# Runs the X11 desktop tests under an Xvfb of their own.
#
#   scripts/test-x11.sh BUILD_DIR                 ctest -R x11 in BUILD_DIR
#   scripts/test-x11.sh BUILD_DIR COMMAND [ARG]   COMMAND instead (e.g. a benchmark)
#
# Starts Xvfb on a display number the server picks itself (-displayfd, so
# two runs started at once never share or steal a display), with a US
# keyboard and no window manager, exports DISPLAY, and stops the server on
# every way out.
set -euo pipefail

build_dir=${1:?usage: test-x11.sh BUILD_DIR [COMMAND...]}
shift

log() { printf 'test-x11: %s\n' "$*" >&2; }

# Starts Xvfb and sets display_number once it is accepting clients.
start_xvfb() {
  local fdfile i
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fdfile" </dev/null >/dev/null 2>&1 &
  xvfb_pid=$!
  for i in $(seq 1 100); do
    [ -s "$fdfile" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || { log "Xvfb exited"; rm -f "$fdfile"; return 1; }
    sleep 0.1
  done
  display_number=$(tr -d '[:space:]' <"$fdfile")
  rm -f "$fdfile"
  [ -n "$display_number" ] || { log "Xvfb did not start"; return 1; }
}

xvfb_pid=""
trap '[ -z "$xvfb_pid" ] || { kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; }' EXIT
start_xvfb
export DISPLAY=":$display_number"
log "Xvfb on $DISPLAY"

cd "$build_dir"
if [ $# -gt 0 ]; then
  "$@"
else
  ctest -R '^x11\.' --output-on-failure
fi
