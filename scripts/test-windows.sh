#!/usr/bin/env bash
# Builds the Windows cross preset (mingw-w64) and runs its tests under Wine.
#
#   scripts/test-windows.sh           build, check the DLL exports, run the tests
#   scripts/test-windows.sh --bench   ... then the typing throughput and
#                                     clipboard listener benchmarks
#
# The tests need an X display for Wine's windows. TE_TEST_DISPLAY names one
# to use (e.g. :0); by default a private Xvfb is started on a free display.
# Wine runs in a private prefix under the build folder, with one wineserver
# kept alive for the whole run, so each test process starts in a fraction
# of a second. Everything started here is stopped on exit, also on failure.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/windows"
run_bench=0
[ "${1:-}" = "--bench" ] && run_bench=1

log() { printf 'test-windows: %s\n' "$*" >&2; }

te_wine64=/usr/lib/wine/wine64
te_wineserver=/usr/lib/wine/wineserver
wineserver_started=0
. "$root/scripts/lib/xvfb.sh"

cleanup() {
  if [ "$wineserver_started" = 1 ]; then
    "$te_wineserver" -k 2>/dev/null || true
  fi
  te_xvfb_stop
}
trap cleanup EXIT

ensure_tools() {
  if command -v x86_64-w64-mingw32-g++-posix >/dev/null && [ -x "$te_wine64" ] &&
     [ -x "$te_wineserver" ] && command -v Xvfb >/dev/null && command -v cmake >/dev/null; then
    return
  fi
  log "installing the cross compiler, Wine and Xvfb"
  "$root/scripts/install-deps.sh"
}

build_cross() {
  (cd "$root" && cmake --preset windows-cross >/dev/null)
  (cd "$root" && cmake --build --preset windows-cross -j "$(nproc)")
}

# A private prefix, made afresh for every run (a reused prefix can stall for
# seconds while Wine restarts its services). Wine's
# own virtual desktop keeps window activation inside Wine, independent of
# any window manager, and makes closing a window immediate.
start_wine() {
  export WINEPREFIX="$build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  # Wine names Unix files in the locale's character set: without a UTF-8
  # locale (a bare environment has none) no non-ASCII file name can exist.
  export LC_ALL=C.UTF-8
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$te_wineserver" -p
  wineserver_started=1
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "initialising the Wine prefix"
    "$te_wine64" wineboot -i </dev/null >/dev/null 2>&1
    "$te_wine64" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
    "$te_wine64" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 \
      /f </dev/null >/dev/null 2>&1
  fi
}

# The cross build links the library target itself against empty yyjson
# stand-ins (no Windows yyjson here). Checks that it produced the file a
# Windows host loads, velmora-textexpander.dll, exporting exactly the names
# of the .def file.
check_exports() {
  local dll="$build/velmora-textexpander.dll" dir="$build/export-check"
  [ -f "$dll" ] || { log "the build produced no $(basename "$dll")"; ls "$build"/*.dll >&2 2>/dev/null; return 1; }
  rm -rf "$dir" && mkdir -p "$dir"
  x86_64-w64-mingw32-objdump -p "$dll" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/\]/ && $NF ~ /^te_/ { print $NF }' | sort >"$dir/exports"
  awk 'f && NF { print $1 } /^EXPORTS/ { f = 1 }' "$root/src/velmora-textexpander.def" | sort >"$dir/expected"
  if ! diff -u "$dir/expected" "$dir/exports"; then
    log "the DLL's exports differ from src/velmora-textexpander.def"
    return 1
  fi
  log "$(basename "$dll") exports $(wc -l <"$dir/exports") names, as listed in the .def file"
}

main() {
  ensure_tools
  build_cross
  check_exports
  if [ -n "${TE_TEST_DISPLAY:-}" ]; then
    export DISPLAY="$TE_TEST_DISPLAY"
  else
    te_xvfb_start 1280x1024x24
    log "Xvfb on $DISPLAY"
  fi
  start_wine
  local status=0
  ctest --test-dir "$build" --output-on-failure --no-tests=error </dev/null || status=$?
  if [ "$status" = 0 ] && [ "$run_bench" = 1 ]; then
    "$te_wine64" "$build/bench/win32/te_win32_typing_bench.exe" </dev/null || status=$?
    "$te_wine64" "$build/bench/win32/te_win32_watch_bench.exe" </dev/null || status=$?
  fi
  return "$status"
}

main "$@"
