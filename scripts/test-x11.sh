#!/usr/bin/env bash
# Runs the X11 desktop tests under an Xvfb of their own.
#
#   scripts/test-x11.sh BUILD_DIR                 ctest -R x11 in BUILD_DIR
#   scripts/test-x11.sh BUILD_DIR COMMAND [ARG]   COMMAND instead (e.g. a benchmark)
#
# Starts a private Xvfb (it picks its own display number) with a US
# keyboard and no window manager, exports DISPLAY, and stops the server on
# every way out.
set -euo pipefail

build_dir=${1:?usage: test-x11.sh BUILD_DIR [COMMAND...]}
shift

log() { printf 'test-x11: %s\n' "$*" >&2; }

. "$(dirname "$0")/lib/xvfb.sh"
trap te_xvfb_stop EXIT
te_xvfb_start 1280x800x24
log "Xvfb on $DISPLAY"

cd "$build_dir"
if [ $# -gt 0 ]; then
  "$@"
else
  ctest -R '^x11\.' --output-on-failure
fi
