#!/usr/bin/env bash
# Builds a host program against an installed velmora-textexpander, once
# with CMake's find_package and once with pkg-config, and runs both.
#
#   consumer_test.sh PREFIX   where it is installed; /usr is the system's
#                             own install (the packages), found with no hint
set -euo pipefail
prefix=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export APPDATA=$work/appdata
unset DISPLAY WAYLAND_DISPLAY

hint=()
if [ "$prefix" != /usr ]; then
  libdir=$(dirname "$(find "$prefix" -name 'libvelmora-textexpander.so' | head -n1)")
  hint=(-DCMAKE_PREFIX_PATH="$prefix")
  export LD_LIBRARY_PATH=$libdir PKG_CONFIG_PATH=$libdir/pkgconfig
fi

cmake -S "$here/consumer" -B "$work/consumer" "${hint[@]}" >/dev/null
cmake --build "$work/consumer" >/dev/null
[ "$("$work/consumer/consumer")" = "3 >>addr" ] || { echo "find_package host failed"; exit 1; }

cc -o "$work/pc_consumer" "$here/consumer/main.c" $(pkg-config --cflags --libs velmora-textexpander)
[ "$("$work/pc_consumer")" = "3 >>addr" ] || { echo "pkg-config host failed"; exit 1; }
echo "find_package and pkg-config hosts both work against $prefix"
