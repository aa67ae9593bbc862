#!/usr/bin/env bash
# Installs the library into a temporary prefix, then builds a host against
# it with find_package and with pkg-config, and runs both.
# Usage: package_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
here=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export APPDATA=$work/appdata
unset DISPLAY

cmake --install "$build" --prefix "$work/prefix" >/dev/null
# The installed te finds the library beside it, with no search path set.
[ "$(env -u LD_LIBRARY_PATH "$work/prefix/bin/te" count)" = 3 ] || { echo "installed te failed"; exit 1; }
[ -f "$work/prefix/share/bash-completion/completions/te" ] || { echo "no bash completion installed"; exit 1; }
# So does the manager window, where Qt 6 was found for the build.
if [ -e "$work/prefix/bin/velmora-manager" ]; then
  env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen "$work/prefix/bin/velmora-manager" --help >/dev/null ||
    { echo "installed velmora-manager failed"; exit 1; }
fi
libdir=$(dirname "$(find "$work/prefix" -name 'libvelmora-textexpander.so' | head -n1)")
export LD_LIBRARY_PATH=$libdir

cmake -S "$here/consumer" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/consumer" >/dev/null
[ "$("$work/consumer/consumer")" = "3 >>addr" ] || { echo "find_package host failed"; exit 1; }

export PKG_CONFIG_PATH=$libdir/pkgconfig
cc -o "$work/pc_consumer" "$here/consumer/main.c" $(pkg-config --cflags --libs velmora-textexpander)
[ "$("$work/pc_consumer")" = "3 >>addr" ] || { echo "pkg-config host failed"; exit 1; }
echo "find_package and pkg-config hosts both work"
