#!/usr/bin/env bash
# Runs the GNOME and KDE Plasma desktop tests on headless sessions of their
# own: desktops.* under kwin_wayland, then under mutter. Each session's
# seat first has no keyboard, for the test of that case; then a keyboard
# stand-in joins it for the rest.
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

bare_seat_tests='^desktops\..*WithoutKeyboard'

cd "$build_dir"
if [ $# -gt 0 ]; then
  desktop=$1
  shift
  start "$desktop"
  te_bus_seat "$build_dir" "$desktop"
  TE_TEST_DESKTOP=$desktop bash "$here/lib/as-session-user.sh" "$@"
  exit
fi
failed=0
for desktop in kde gnome; do
  start "$desktop"
  TE_TEST_DESKTOP=$desktop TE_TEST_BARE_SEAT=1 ctest -R "$bare_seat_tests" --output-on-failure || failed=1
  te_bus_seat "$build_dir" "$desktop"
  TE_TEST_DESKTOP=$desktop ctest -R '^desktops\.' -E "$bare_seat_tests" --output-on-failure || failed=1
  te_bus_session_stop
done
exit $failed
