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
xvfb_pid=""
wineserver_started=0

cleanup() {
  if [ "$wineserver_started" = 1 ]; then
    "$te_wineserver" -k 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
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

# Starts Xvfb on a display it picks itself (-displayfd) and exports DISPLAY.
start_xvfb() {
  local fdfile="$build/xvfb.display"
  rm -f "$fdfile"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" </dev/null >/dev/null 2>&1 &
  xvfb_pid=$!
  local i
  for i in $(seq 100); do
    [ -s "$fdfile" ] && break
    sleep 0.1
  done
  [ -s "$fdfile" ] || { log "Xvfb did not start"; exit 1; }
  export DISPLAY=":$(tr -d '[:space:]' <"$fdfile")"
  log "Xvfb on $DISPLAY"
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

# Links the engine and this backend into a throwaway DLL, with empty
# stand-ins for the yyjson functions (no Windows yyjson here), and checks
# that it exports exactly the names of the .def file.
check_exports() {
  local dir="$build/export-check"
  rm -rf "$dir" && mkdir -p "$dir"
  local objs
  objs=$(find "$build/CMakeFiles/te_engine.dir" "$build/src/platform" -name '*.obj' | sort)
  x86_64-w64-mingw32-nm -u $objs | awk '$2 ~ /^(unsafe_)?yyjson_/ { print $2 }' | sort -u |
    sed 's/.*/void &(void) {}/' >"$dir/yyjson_stand_ins.c"
  x86_64-w64-mingw32-gcc-posix -c "$dir/yyjson_stand_ins.c" -o "$dir/yyjson_stand_ins.o"
  x86_64-w64-mingw32-g++-posix -shared -o "$dir/velmora-textexpander.dll" $objs "$dir/yyjson_stand_ins.o" \
    "$root/src/velmora-textexpander.def" -static-libgcc -static-libstdc++ -luser32 -lnormaliz
  x86_64-w64-mingw32-objdump -p "$dir/velmora-textexpander.dll" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/\]/ && $NF ~ /^te_/ { print $NF }' | sort >"$dir/exports"
  awk 'f && NF { print $1 } /^EXPORTS/ { f = 1 }' "$root/src/velmora-textexpander.def" | sort >"$dir/expected"
  if ! diff -u "$dir/expected" "$dir/exports"; then
    log "the DLL's exports differ from src/velmora-textexpander.def"
    return 1
  fi
  log "DLL exports: $(wc -l <"$dir/exports") names, as listed in the .def file"
}

main() {
  ensure_tools
  build_cross
  check_exports
  if [ -n "${TE_TEST_DISPLAY:-}" ]; then
    export DISPLAY="$TE_TEST_DISPLAY"
  else
    start_xvfb
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
