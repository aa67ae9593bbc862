#!/usr/bin/env bash
# Builds the Windows cross preset (mingw-w64) and runs its tests under Wine.
#
#   scripts/test-windows.sh           build, check the DLL, run the tests
#   scripts/test-windows.sh --bench   ... then the typing throughput and
#                                     clipboard listener benchmarks
#   scripts/test-windows.sh [--bench] -R REGEX   only the tests CTest picks
#
# yyjson is compiled from its release archive, ../shared/third_party/
# yyjson-0.12.0.tar.gz (TE_YYJSON_ARCHIVE names another copy): the build
# checks its SHA-256 and unpacks it into build/windows/yyjson, then links
# the real velmora-textexpander.dll against it. The DLL is checked (name,
# exports, imports) before the platform tests and the host test, which
# loads it as a Windows program does, run. Then CPack makes the zip for
# host developers (build/windows/packages/velmora-textexpander-<version>-win64.zip):
# its DLL gets the same checks, and tests/package/windows_zip_test.sh
# builds and runs hosts against it.
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
if [ "${1:-}" = "--bench" ]; then
  run_bench=1
  shift
fi

log() { printf 'test-windows: %s\n' "$*" >&2; }

te_wine64=/usr/lib/wine/wine64
te_wineserver=/usr/lib/wine/wineserver
wineserver_started=0
zip_root=""
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
     [ -x "$te_wineserver" ] && command -v Xvfb >/dev/null && command -v cmake >/dev/null &&
     command -v unzip >/dev/null; then
    return
  fi
  log "installing the cross compiler, Wine and Xvfb"
  "$root/scripts/install-deps.sh"
}

build_cross() {
  local archive=()
  [ -n "${TE_YYJSON_ARCHIVE:-}" ] && archive=(-DTE_YYJSON_ARCHIVE="$TE_YYJSON_ARCHIVE")
  (cd "$root" && cmake --preset windows-cross "${archive[@]}" >/dev/null)
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

# The DLL a Windows host loads: its file name, exactly the names of the .def
# file as exports, and imports from DLLs every Windows has (the C++ runtime,
# libgcc and winpthread are linked in; a user would lack their DLLs).
te_system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|normaliz|msvcrt|ucrtbase|api-ms-win-.*)\.dll$'

check_dll() {
  local dll=$1 dir="$build/dll-check"
  [ -f "$dll" ] || { log "the build produced no $(basename "$dll")"; ls "$build"/*.dll >&2 2>/dev/null; return 1; }
  rm -rf "$dir" && mkdir -p "$dir"
  x86_64-w64-mingw32-objdump -p "$dll" >"$dir/headers"
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' "$dir/headers" | awk '/^[[:space:]]+\[ *[0-9]+\]/ { print $NF }' | sort >"$dir/exports"
  awk 'f && NF { print $1 } /^EXPORTS/ { f = 1 }' "$root/src/velmora-textexpander.def" | sort >"$dir/expected"
  if ! diff -u "$dir/expected" "$dir/exports"; then
    log "the DLL's exports differ from src/velmora-textexpander.def"
    return 1
  fi
  awk '/DLL Name:/ { print $3 }' "$dir/headers" >"$dir/imports"
  if grep -viE "$te_system_dlls" "$dir/imports" >"$dir/foreign"; then
    log "the DLL imports from DLLs that are not part of Windows: $(tr '\n' ' ' <"$dir/foreign")"
    return 1
  fi
  log "$(basename "$dll") exports the $(wc -l <"$dir/exports") names of the .def file" \
    "and imports only $(tr '\n' ' ' <"$dir/imports")"
}

# The zip for host developers, unpacked into build/windows/zip-check.
make_zip() {
  rm -rf "$build/packages" "$build/zip-check"
  (cd "$build" && cpack -G ZIP >/dev/null)
  mkdir -p "$build/zip-check"
  unzip -q "$build"/packages/velmora-textexpander-*-win64.zip -d "$build/zip-check"
  zip_root=$(echo "$build"/zip-check/velmora-textexpander-*-win64)
  log "made $(basename "$build"/packages/*.zip)"
}

main() {
  ensure_tools
  build_cross
  check_dll "$build/velmora-textexpander.dll"
  make_zip
  check_dll "$zip_root/bin/velmora-textexpander.dll"
  if [ -n "${TE_TEST_DISPLAY:-}" ]; then
    export DISPLAY="$TE_TEST_DISPLAY"
  else
    te_xvfb_start 1280x1024x24
    log "Xvfb on $DISPLAY"
  fi
  start_wine
  local status=0
  ctest --test-dir "$build" --output-on-failure --no-tests=error "$@" </dev/null || status=$?
  # After the tests, which must not find the store its hosts leave in the
  # prefix's APPDATA.
  TE_WINE64=$te_wine64 bash "$root/tests/package/windows_zip_test.sh" "$zip_root" "$root" || status=$?
  if [ "$status" = 0 ] && [ "$run_bench" = 1 ]; then
    "$te_wine64" "$build/bench/win32/te_win32_typing_bench.exe" </dev/null || status=$?
    "$te_wine64" "$build/bench/win32/te_win32_watch_bench.exe" </dev/null || status=$?
  fi
  return "$status"
}

main "$@"
