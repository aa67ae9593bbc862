#!/usr/bin/env bash
# Checks the Windows zip for host developers (scripts/test-windows.sh makes
# it and checks its DLL's exports and imports first):
# - it holds what tests/package/windows-zip.contents lists, the header is
#   the project's, and the import library imports exactly the names of the
#   .def file;
# - a host builds against it with the mingw-w64 compiler, once with the flags
#   of its pkg-config file and once with find_package through its CMake
#   files, and runs under Wine with the DLL beside it.
#
#   windows_zip_test.sh ZIP_ROOT SOURCE_DIR     (ZIP_ROOT: the unpacked top folder)
# Wine runs as scripts/test-windows.sh set it up (WINEPREFIX, TE_WINE64).
set -euo pipefail
zip_root=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
here=$source_dir/tests/package
wine64=${TE_WINE64:-/usr/lib/wine/wine64}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! diff -u "$here/windows-zip.contents" <(cd "$zip_root" && find . -type f | sed 's|^\./||' | sort); then
  fail "the zip holds other files than tests/package/windows-zip.contents lists (- listed, + in the zip)"
fi
cmp -s "$zip_root/include/textexpander.h" "$source_dir/include/textexpander.h" || fail "the zip's header is not the project's"

awk 'f && NF { print $1 } /^EXPORTS/ { f = 1 }' "$source_dir/src/velmora-textexpander.def" | sort >"$work/def"
x86_64-w64-mingw32-nm "$zip_root/lib/libvelmora-textexpander.dll.a" |
  sed -n 's/.* I __imp_\(te_[a-z_]*\)$/\1/p' | sort -u >"$work/imports"
diff -u "$work/def" "$work/imports" || fail "the import library's names differ from the .def file"

# Runs a host program built in DIR under Wine, beside a copy of the DLL.
run_host() {
  cp "$zip_root/bin/velmora-textexpander.dll" "$1/"
  "$wine64" "$1/$2" </dev/null 2>/dev/null | tr -d '\r'
}

mkdir -p "$work/pc"
# shellcheck disable=SC2046
x86_64-w64-mingw32-gcc-posix -o "$work/pc/consumer.exe" "$here/consumer/main.c" \
  $(PKG_CONFIG_PATH="$zip_root/lib/pkgconfig" PKG_CONFIG_LIBDIR= pkg-config --cflags --libs velmora-textexpander)
[ "$(run_host "$work/pc" consumer.exe)" = "3 >>addr" ] || fail "a host built with the pkg-config flags"

cmake -S "$here/consumer" -B "$work/cmake" -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake" \
  -Dvelmora-textexpander_DIR="$zip_root/lib/cmake/velmora-textexpander" >/dev/null
cmake --build "$work/cmake" >/dev/null
[ "$(run_host "$work/cmake" consumer.exe)" = "3 >>addr" ] || fail "a host built with find_package"

if [ "$failures" -gt 0 ]; then
  echo "windows_zip_test: $failures checks failed"
  exit 1
fi
echo "windows_zip_test: the zip holds the DLL, import library, header and files for CMake and pkg-config; hosts build and run"
