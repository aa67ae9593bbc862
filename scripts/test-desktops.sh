#!/usr/bin/env bash
# Runs the GNOME and KDE Plasma desktop tests on headless sessions of their
# own: desktops.* under kwin_wayland, then (with TE_TEST_GNOME=1) under
# mutter, whose paste path does not pass yet.
#
#   scripts/test-desktops.sh BUILD_DIR                     the tests
#   scripts/test-desktops.sh BUILD_DIR kde|gnome COMMAND   COMMAND as the
#                                                          session's user
#                                                          (e.g. a benchmark)
set -euo pipefail

build_dir=$(cd "${1:?usage: test-desktops.sh BUILD_DIR [kde|gnome COMMAND...]}" && pwd)
shift

log() { printf 'test-desktops: %s\n' "$*" >&2; }

tests=$build_dir/tests/desktops/te_bus_desktop_tests
if [ ! -x "$tests" ]; then
  log "no GNOME or KDE tests in $build_dir (those desktops were not built)"
  exit 0
fi

here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib/bus_desktops.sh"
trap te_bus_session_stop EXIT

start() {
  case $1 in
    kde) te_kwin_start "$build_dir" "$tests" "$build_dir/tools/te/te" "$build_dir/bench/desktops/te_desktops_bench" ;;
    gnome) te_mutter_start "$build_dir" ;;
  esac
  log "$1 session at $XDG_RUNTIME_DIR/$WAYLAND_DISPLAY"
}

cd "$build_dir"
if [ $# -gt 0 ]; then
  desktop=$1
  shift
  start "$desktop"
  TE_TEST_DESKTOP=$desktop bash "$here/lib/as-session-user.sh" "$@"
  exit
fi
failed=0
desktops=(kde)
[ "${TE_TEST_GNOME:-0}" = 1 ] && desktops+=(gnome)
for desktop in "${desktops[@]}"; do
  start "$desktop"
  TE_TEST_DESKTOP=$desktop ctest -R '^desktops\.' --output-on-failure || failed=1
  te_bus_session_stop
done
exit $failed
